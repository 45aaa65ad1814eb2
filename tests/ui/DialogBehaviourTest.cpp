#include "RecordingDialog.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/SystemMenu.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

const Calls kOkCalls{"OnInitDialog", "load", "OnOK", "save"};
const Calls kCancelCalls{"OnInitDialog", "load", "OnCancel"};

TEST(TemplateDialogKeys, EnterInASingleLineFieldRunsOkAndEscapeAnywhereCancels) {
    ModalHangGuard guard;
    struct Row {
        int id;
        Key key;
        int result;
        const Calls& calls;
    };
    const Row rows[] = {
        {kIdLineEdit1, Key::kEnter, kIdOk, kOkCalls},
        {kIdSettingsEdit, Key::kEnter, kIdOk, kOkCalls},
        {kIdLineFormat3, Key::kEnter, kIdOk, kOkCalls},
        {kIdLogFormat, Key::kEnter, kIdOk, kOkCalls},
        {kIdLineEdit2, Key::kEscape, kIdCancel, kCancelCalls},
        {kIdLineFormat2, Key::kEscape, kIdCancel, kCancelCalls},
        {kIdSendButton2, Key::kEscape, kIdCancel, kCancelCalls},
        {kIdOk, Key::kEscape, kIdCancel, kCancelCalls},
    };
    for (const Row& row : rows) {
        RecordingDialog dialog;
        EXPECT_EQ(RunModal(dialog, [&] { PressKey(dialog, row.id, row.key); }), row.result)
            << row.id;
        EXPECT_EQ(dialog.calls, row.calls) << row.id;
    }
}

TEST(TemplateDialogKeys, EnterOnAButtonPressesThatButtonAndInTheLogIsKeptThere) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    int clears = 0;
    dialog.BindClicked(kIdClearButton, [&clears] { ++clears; });
    const int result = RunModal(dialog, [&] {
        PressKey(dialog, kIdClearButton, Key::kEnter);
        EXPECT_EQ(clears, 1);
        PressKey(dialog, kIdLogView, Key::kEnter);
        EXPECT_TRUE(IsShown(dialog));
        EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), "");
        PressKey(dialog, kIdCancel, Key::kEnter);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dialog.calls, kCancelCalls);
}

TEST(TemplateDialogLog, ContextMenuSelectsAllAndRunsAnAddedItemWhenItIsAvailable) {
    constexpr int kIdAdded = 9001;
    RecordingDialog dialog;
    int runs = 0;
    bool available = false;
    dialog.BindClicked(kIdAdded, [&runs] { ++runs; });
    dialog.onInit = [&] {
        dialog.AddEditMenuItem(kIdLogView, "Added", kIdAdded, [&available] { return available; });
        dialog.SetDlgItemText(kIdLogView, "00  01\r\n02");
    };
    InRun(dialog, [&] {
        // Nothing to copy yet, and the item is not available.
        EXPECT_FALSE(ChooseEditMenuItem(dialog, kIdLogView, "Copy"));
        EXPECT_FALSE(ChooseEditMenuItem(dialog, kIdLogView, "Added"));
        EXPECT_TRUE(ChooseEditMenuItem(dialog, kIdLogView, "Select All"));
        EXPECT_EQ(SelectedText(dialog, kIdLogView), "00  01\r\n02");
        available = true;
        EXPECT_TRUE(ChooseEditMenuItem(dialog, kIdLogView, "Added"));
        EXPECT_EQ(runs, 1);
    });
}

TEST(TemplateDialogButtons, OkCancelTheCloseBoxAndTheCloseCommandEndTheRun) {
    ModalHangGuard guard;
    struct Row {
        std::function<void(RecordingDialog&)> act;
        int result;
        const Calls& calls;
    };
    const Row rows[] = {
        {[](RecordingDialog& dialog) { Click(dialog, kIdOk); }, kIdOk, kOkCalls},
        {[](RecordingDialog& dialog) { Click(dialog, kIdCancel); }, kIdCancel, kCancelCalls},
        {[](RecordingDialog& dialog) { ClickCloseBox(dialog); }, kIdCancel, kCancelCalls},
        // Any command of the close family, as the system menu sends it.
        {[](RecordingDialog& dialog) { dialog.OnSysCommand(kScClose + 3, 0); }, kIdCancel,
         kCancelCalls},
    };
    for (const Row& row : rows) {
        RecordingDialog dialog;
        EXPECT_EQ(RunModal(dialog, [&] { row.act(dialog); }), row.result);
        EXPECT_EQ(dialog.calls, row.calls);
    }
}

TEST(TemplateDialogButtons, FailedExchangeKeepsTheWindowOpen) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    dialog.exchangeSucceeds = false;
    const int result = RunModal(dialog, [&] {
        Click(dialog, kIdOk);
        EXPECT_TRUE(IsShown(dialog));
        dialog.exchangeSucceeds = true;
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load", "OnOK", "save", "OnOK", "save"}));
}

TEST(TemplateDialogButtons, BoundHandlerTakesButtonOneFromOk) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    int clicks = 0;
    dialog.BindClicked(kIdOk, [&] {
        ++clicks;
        dialog.EndDialog(7);
    });
    EXPECT_EQ(RunModal(dialog, [&] { PressKey(dialog, kIdLineEdit1, Key::kEnter); }), 7);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load"}));
}

TEST(TemplateDialogInit, FirstTabStopGetsTheFocusWithItsTextSelected) {
    RecordingDialog terminal;
    InRun(terminal, [&] { EXPECT_EQ(FocusedControl(terminal), kIdOk); });

    RecordingDialog portSelect(kPortSelectTemplate);
    portSelect.onInit = [&] { portSelect.SetDlgItemText(kIdPortNumberEdit, "12"); };
    InRun(portSelect, [&] {
        EXPECT_EQ(FocusedControl(portSelect), kIdPortNumberEdit);
        EXPECT_EQ(SelectedText(portSelect, kIdPortNumberEdit), "12");
    });

    RecordingDialog leftAlone;
    leftAlone.initReturns = false;
    leftAlone.onInit = [&] { leftAlone.GotoDlgCtrl(kIdSettingsEdit); };
    InRun(leftAlone, [&] { EXPECT_EQ(FocusedControl(leftAlone), kIdSettingsEdit); });
}

TEST(TemplateDialogInit, EndingDuringInitialisationReturnsWithoutARun) {
    RecordingDialog dialog;
    dialog.onInit = [&] { dialog.EndDialog(5); };
    EXPECT_EQ(dialog.DoModal(), 5);
}

TEST(TemplateDialogOwner, OwnerTakesNoInputDuringTheRunAndGetsItsFocusBack) {
    ModalHangGuard guard;
    RecordingDialog owner(kPortSelectTemplate);
    RecordingDialog inner;
    bool ownerTookInput = true;
    const int result = RunModal(owner, [&] {
        owner.GotoDlgCtrl(kIdStartButton);
        RunModal(inner, [&] {
            ownerTookInput = TakesInput(owner);
            Click(owner, kIdCancel);  // refused
            EXPECT_TRUE(IsShown(owner));
            EXPECT_EQ(InnermostModalDialog(), &inner);
            inner.EndDialog(kIdOk);
        });
        EXPECT_TRUE(TakesInput(owner));
        EXPECT_TRUE(WaitUntil([&] { return FocusedControl(owner) == kIdStartButton; }));
        Click(owner, kIdCancel);
    });
    EXPECT_FALSE(ownerTookInput);
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(owner.calls, kCancelCalls);
}

TEST(OnChar, SeesCharactersTypedToTheWindowItselfOnly) {
    RecordingDialog dialog;
    InRun(dialog, [&] {
        Type(dialog, kIdLineEdit1, "1x");
        EXPECT_EQ(dialog.GetDlgItemText(kIdLineEdit1), "1x");
        EXPECT_TRUE(dialog.chars.empty());
        TypeToWindow(dialog, '1');
        TypeToWindow(dialog, 'a');
        EXPECT_EQ(dialog.chars, (std::vector<unsigned>{0x31, 'a'}));
        EXPECT_EQ(dialog.repeatCounts, (std::vector<unsigned>{1, 1}));
    });
}

}  // namespace
