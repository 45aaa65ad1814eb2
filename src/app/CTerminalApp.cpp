#include "app/CTerminalApp.h"

#include "app/CPortSelectDlg.h"

bool CTerminalApp::InitInstance() {
    // Switching on the hosting of embedded controls and the three-dimensional control look is
    // a no-op on Qt: its dialogs host any widget and always draw in the platform's style.
    CPortSelectDlg dlg;
    dlg.DoModal();
    return false;
}
