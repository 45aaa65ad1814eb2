#include "app/TerminalWindow.h"
#include "terminal/CTerminalDlg.h"

std::unique_ptr<TerminalWindow> MakeTerminalWindow() {
    return std::make_unique<TerminalWindowOf<CTerminalDlg>>();
}
