#include "app/CTerminalApp.h"

#include "app/CPortSelectDlg.h"

bool CTerminalApp::InitInstance() {
    // Hosting of embedded controls and the three-dimensional control look are switches of the
    // framework the windows were first written for; on Qt there is nothing to switch on.
    CPortSelectDlg dlg;
    dlg.DoModal();
    return false;
}
