#include "app/CTerminalApp.h"

#include "app/CPortSelectDlg.h"

bool CTerminalApp::InitInstance() {
    // Switching on the hosting of embedded controls and the three-dimensional control look
    // needs nothing here: no template holds an embedded control, and the window layer's
    // dialogs always draw their controls in the platform's own style.
    CPortSelectDlg dlg(nullptr, [this] { return MakeCapturingTerminalWindow(m_strCaptureFile); });
    dlg.DoModal();
    return false;
}
