#include "AboutBoxCloser.h"
#include "app/CAboutBox.h"
#include "app/CPortSelectDlg.h"
#include "res/DialogIds.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "support/WindowTestDriver.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(AboutBox, SystemCommandsFrom0x10To0x1FOpenIt) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    struct Row {
        unsigned nID;
        int opened;
    };
    const Row rows[] = {{0x0010, 1}, {0x0011, 1}, {0x001F, 1}, {0x000F, 0},
                        {0x0020, 0}, {0xF020, 0}, {0x0110, 0}};
    OnNextModalWindow([&] {
        for (const Row& row : rows) {
            AboutBoxCloser closer(dlg);
            dlg.OnSysCommand(row.nID, 0);
            EXPECT_EQ(closer.opened, row.opened) << std::hex << row.nID;
            if (row.opened != 0) {
                EXPECT_EQ(closer.caption, "About Quenlark");
                EXPECT_FALSE(closer.portSelectEnabled);
            }
            EXPECT_TRUE(IsShown(dlg));
            EXPECT_TRUE(TakesInput(dlg));
        }
        dlg.EndDialog(kIdCancel);
    });
    EXPECT_EQ(dlg.DoModal(), kIdCancel);
}

TEST(AboutBox, OkAndEscapeCloseIt) {
    ModalHangGuard guard;
    struct Row {
        std::function<void(CAboutBox&)> close;
        int result;
    };
    const Row rows[] = {
        {[](CAboutBox& box) { Click(box, kIdOk); }, kIdOk},
        {[](CAboutBox& box) { PressKey(box, kIdOk, Key::kEnter); }, kIdOk},
        {[](CAboutBox& box) { PressKey(box, kIdOk, Key::kEscape); }, kIdCancel},
    };
    for (const Row& row : rows) {
        CAboutBox box;
        OnNextModalWindow([&] {
            EXPECT_EQ(FocusedControl(box), kIdOk);
            row.close(box);
        });
        EXPECT_EQ(box.DoModal(), row.result);
    }
}

TEST(Resources, VersionRecordMatchesTheBuildsVersion) {
    const std::string version =
        std::to_string(kFileVersion[0]) + "." + std::to_string(kFileVersion[1]) + "." +
        std::to_string(kFileVersion[2]) + "." + std::to_string(kFileVersion[3]);
    EXPECT_EQ(version, QUENLARK_PROJECT_VERSION);
    const std::string text =
        std::to_string(kProductVersion[0]) + ", " + std::to_string(kProductVersion[1]) + ", " +
        std::to_string(kProductVersion[2]) + ", " + std::to_string(kProductVersion[3]);
    EXPECT_EQ(text, kProductVersionText);
    EXPECT_STREQ(kFileVersionText, kProductVersionText);
    EXPECT_EQ(LoadStringResource(kIdsAboutBox), "&About Quenlark...");
    EXPECT_EQ(LoadStringResource(102), "");
}

}  // namespace
