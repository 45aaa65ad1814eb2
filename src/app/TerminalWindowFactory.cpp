#include "app/TerminalWindow.h"
#include "res/TerminalTemplate.h"
#include "ui/TemplateDialog.h"

namespace {

// The terminal window's layout on its own, closed by its OK and Cancel buttons; it stands
// in for the terminal window until the window with the serial channel is built on it.
class TerminalLayoutWindow : public TemplateDialog {
public:
    TerminalLayoutWindow() : TemplateDialog(kTerminalTemplate) {}

    std::uint8_t m_byPort = 0;
};

}  // namespace

std::unique_ptr<TerminalWindow> MakeTerminalWindow() {
    return std::make_unique<TerminalWindowOf<TerminalLayoutWindow>>();
}
