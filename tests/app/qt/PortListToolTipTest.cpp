#include "app/CPortSelectDlg.h"
#include "res/PortSelectTemplate.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"
#include "support/WindowTestDriver.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// A port linked while the window is open is in the list the next time the pointer rests on
// the number field.
TEST(PortListToolTip, IsReadWhenItShows) {
    ModalHangGuard guard;
    ScopedConfigHome home;
    CPortSelectDlg dlg;
    OnNextModalWindow([&] {
        EXPECT_EQ(ToolTip(dlg, kIdPortNumberEdit).find("COM7:"), std::string::npos);
        const PtyPort pty(home, 7);
        EXPECT_NE(ToolTip(dlg, kIdPortNumberEdit).find("COM7: " + pty.SlavePath()),
                  std::string::npos);
        Click(dlg, kIdCancel);
    });
    dlg.DoModal();
}

}  // namespace
