#include "app/ApplicationMain.h"

#include "app/CTerminalApp.h"

// The one application object.
CTerminalApp theApp;

int RunApplication(const RunOptions& options) {
    theApp.m_strCaptureFile = options.captureFile;
    // Start-up always reports failure, so no message loop of the application's own follows:
    // the program ends as soon as the port-selection window has closed.
    theApp.InitInstance();
    return 0;
}
