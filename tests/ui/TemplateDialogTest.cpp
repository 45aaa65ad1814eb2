#include "RecordingDialog.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(TemplateDialog, TerminalTemplateGivesEveryControlWithItsText) {
    RecordingDialog dialog;
    InRun(dialog, [&] {
        EXPECT_EQ(Caption(dialog), "Viewer");
        for (const ControlTemplate& control : kTerminalTemplate.controls) {
            if (control.id != kIdStatic) {
                EXPECT_TRUE(dialog.HasDlgItem(control.id)) << control.id;
                EXPECT_EQ(dialog.GetDlgItemText(control.id), control.text) << control.id;
            }
        }
        EXPECT_FALSE(dialog.HasDlgItem(1027));
        EXPECT_FALSE(dialog.HasDlgItem(kIdStatic));
    });
}

TEST(TemplateDialog, TextKeepsLineBreaksAndEveryByteUpToTheFirstZero) {
    // 10000 bytes in Dec: far beyond the default limit of a line edit.
    std::string longLine = "000";
    for (int i = 1; i < 10000; ++i) {
        longLine += ",255";
    }
    struct Row {
        int id;
        std::string text;
        std::string read;
    };
    const Row rows[] = {
        {kIdLogView, "A\r\n\r\nB\xA0\xFF  \r\n41  0d", "A\r\n\r\nB\xA0\xFF  \r\n41  0d"},
        {kIdLogView, "before\0after"s, "before"},
        {kIdLogView, "", ""},
        {kIdLineEdit1, "ab\0cd"s, "ab"},
        {kIdSettingsEdit, "\xE9t\xE9", "\xE9t\xE9"},
        {kIdLineEdit3, longLine, longLine},
        {4242, "no such control", ""},
    };
    RecordingDialog dialog;
    InRun(dialog, [&] {
        for (const Row& row : rows) {
            dialog.SetDlgItemText(row.id, row.text);
            EXPECT_EQ(dialog.GetDlgItemText(row.id), row.read) << row.id;
        }
    });
}

TEST(TemplateDialog, ComboBoxesGetTheirEntriesFromInitialisationOnce) {
    RecordingDialog dialog;
    InRun(dialog, [&] {
        for (const SendLineControls& line : kSendLines) {
            ASSERT_EQ(dialog.ComboGetCount(line.format), 3) << line.format;
            EXPECT_EQ(dialog.ComboGetLBText(line.format, 0), "Text");
            EXPECT_EQ(dialog.ComboGetLBText(line.format, 1), "Dec");
            EXPECT_EQ(dialog.ComboGetLBText(line.format, 2), "Hex");
            EXPECT_EQ(dialog.ComboGetCurSel(line.format), -1);
        }
        // A second initialisation, as a new window would have, does not add them twice.
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.ComboGetCount(kIdLogFormat), 3);
    });
}

TEST(TemplateDialog, ProgramSelectionRaisesNoChangeButTheUsersChoiceDoes) {
    RecordingDialog dialog;
    int changes = 0;
    dialog.BindSelChange(kIdLogFormat, [&changes] { ++changes; });
    struct Row {
        int index;
        int result;
        std::string text;
    };
    const Row rows[] = {{2, 2, "Hex"}, {0, 0, "Text"}, {3, -1, ""}, {1, 1, "Dec"}, {-2, -1, ""}};
    InRun(dialog, [&] {
        for (const Row& row : rows) {
            EXPECT_EQ(dialog.ComboSetCurSel(kIdLogFormat, row.index), row.result) << row.index;
            EXPECT_EQ(dialog.ComboGetCurSel(kIdLogFormat), row.result) << row.index;
            EXPECT_EQ(dialog.GetDlgItemText(kIdLogFormat), row.text) << row.index;
            EXPECT_EQ(dialog.ComboGetLBText(kIdLogFormat, row.index), row.text) << row.index;
        }
        EXPECT_EQ(changes, 0);

        Choose(dialog, kIdLogFormat, 1);
        EXPECT_EQ(dialog.ComboGetCurSel(kIdLogFormat), 1);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(dialog.ComboSetCurSel(kIdLineEdit1, 0), -1);  // not a combo box
    });
}

TEST(TemplateDialog, AddedEntrySelectsNothingAndKeepsTypedText) {
    RecordingDialog dialog;
    InRun(dialog, [&] {
        dialog.ComboResetContent(kIdLineFormat2);
        EXPECT_EQ(dialog.ComboGetCount(kIdLineFormat2), 0);
        dialog.SetDlgItemText(kIdLineFormat2, "typed");
        EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Text"), 0);
        EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Dec"), 1);
        EXPECT_EQ(dialog.ComboGetCurSel(kIdLineFormat2), -1);
        EXPECT_EQ(dialog.GetDlgItemText(kIdLineFormat2), "typed");
        dialog.ComboSetCurSel(kIdLineFormat2, 1);
        EXPECT_EQ(dialog.ComboAddString(kIdLineFormat2, "Hex"), 2);
        EXPECT_EQ(dialog.ComboGetCurSel(kIdLineFormat2), 1);
        EXPECT_EQ(dialog.ComboAddString(kIdOk, "x"), -1);
    });
}

TEST(TemplateDialog, DigitsOnlyFieldRefusesOtherTypedCharacters) {
    RecordingDialog dialog(kPortSelectTemplate);
    InRun(dialog, [&] {
        Type(dialog, kIdPortNumberEdit, "a1 -2+x3");
        EXPECT_EQ(dialog.GetDlgItemText(kIdPortNumberEdit), "123");
        dialog.SetDlgItemText(kIdPortNumberEdit, " 7 ");  // the program may put in anything
        EXPECT_EQ(dialog.GetDlgItemText(kIdPortNumberEdit), " 7 ");
    });
}

TEST(TemplateDialog, WindowKeepsItsIconsAlsoFromBeforeItShows) {
    EXPECT_TRUE(WindowIcon::Load(129).IsNull());
    const WindowIcon icon = WindowIcon::Load(128);
    ASSERT_FALSE(icon.IsNull());
    RecordingDialog dialog;
    dialog.SetIcon(icon, true);
    InRun(dialog, [&] {
        dialog.SetIcon(icon, false);
        EXPECT_EQ(dialog.GetIcon(true), icon);
        EXPECT_EQ(dialog.GetIcon(false), icon);
    });
}

}  // namespace
