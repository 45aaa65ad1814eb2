#include "app/TerminalWindow.h"
#include "terminal/CTerminalDlg.h"

std::unique_ptr<TerminalWindow> MakeTerminalWindow() {
    return MakeCapturingTerminalWindow({});
}

std::unique_ptr<TerminalWindow> MakeCapturingTerminalWindow(const std::string& captureFile) {
    auto window = std::make_unique<TerminalWindowOf<CTerminalDlg>>();
    window->Window().m_strCaptureFile = captureFile;
    return window;
}
