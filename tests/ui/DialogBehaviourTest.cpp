#include "RecordingDialog.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "support/ModalTestDriver.h"
#include "ui/qt/QtControls.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

// Presses a key in a control while its window runs modally.
std::function<void(QWidget&)> PressIn(TemplateDialog& dialog, int id, Qt::Key key) {
    return [&dialog, id, key](QWidget&) {
        QWidget* control = QtControl(dialog, id);
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
            control = combo->lineEdit();
        }
        control->setFocus();
        QTest::keyClick(control, key);
    };
}

TEST(TemplateDialogKeys, EnterInASingleLineFieldRunsOkWhichClosesWithOk) {
    ModalHangGuard guard;
    for (const int id : {kIdLineEdit1, kIdSettingsEdit, kIdLineFormat3, kIdLogFormat}) {
        RecordingDialog dialog;
        EXPECT_EQ(RunModal(dialog, PressIn(dialog, id, Qt::Key_Return)), kIdOk) << id;
        EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load", "OnOK", "save"})) << id;
    }
    RecordingDialog dialog;
    EXPECT_EQ(RunModal(dialog, PressIn(dialog, kIdLineEdit5, Qt::Key_Enter)), kIdOk);
}

TEST(TemplateDialogKeys, EnterOnAButtonPressesThatButton) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    int clears = 0;
    dialog.BindClicked(kIdClearButton, [&clears] { ++clears; });
    const int result = RunModal(dialog, [&](QWidget&) {
        PressIn(dialog, kIdClearButton, Qt::Key_Return)(QtWindow(dialog));
        EXPECT_EQ(clears, 1);
        EXPECT_TRUE(QtWindow(dialog).isVisible());
        PressIn(dialog, kIdCancel, Qt::Key_Return)(QtWindow(dialog));
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST(TemplateDialogKeys, EnterInTheLogViewIsKeptThere) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    const int result = RunModal(dialog, [&](QWidget&) {
        PressIn(dialog, kIdLogView, Qt::Key_Return)(QtWindow(dialog));
        EXPECT_TRUE(QtWindow(dialog).isVisible());
        EXPECT_EQ(dialog.GetDlgItemText(kIdLogView), "");
        PressIn(dialog, kIdLogView, Qt::Key_Escape)(QtWindow(dialog));
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load", "OnCancel"}));
}

TEST(TemplateDialogKeys, EscapeAnywhereCancelsWithoutExchange) {
    ModalHangGuard guard;
    for (const int id : {kIdLineEdit2, kIdLineFormat2, kIdSendButton2, kIdOk}) {
        RecordingDialog dialog;
        EXPECT_EQ(RunModal(dialog, PressIn(dialog, id, Qt::Key_Escape)), kIdCancel) << id;
        EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load", "OnCancel"})) << id;
    }
}

TEST(TemplateDialogButtons, CloseBoxCancels) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    EXPECT_EQ(RunModal(dialog, [](QWidget& window) { window.windowHandle()->close(); }), kIdCancel);
    EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load", "OnCancel"}));
}

TEST(TemplateDialogButtons, ButtonsOneAndTwoRunOkAndCancel) {
    ModalHangGuard guard;
    struct Row {
        int button;
        int result;
        Calls calls;
    };
    const Row rows[] = {
        {kIdOk, kIdOk, {"OnInitDialog", "load", "OnOK", "save"}},
        {kIdCancel, kIdCancel, {"OnInitDialog", "load", "OnCancel"}},
    };
    for (const Row& row : rows) {
        RecordingDialog dialog;
        const int result = RunModal(dialog, [&](QWidget&) {
            QTest::mouseClick(QtControl(dialog, row.button), Qt::LeftButton);
        });
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(dialog.calls, row.calls);
    }
}

TEST(TemplateDialogButtons, FailedExchangeKeepsTheWindowOpen) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    dialog.exchangeSucceeds = false;
    const int result = RunModal(dialog, [&](QWidget&) {
        QTest::mouseClick(QtControl(dialog, kIdOk), Qt::LeftButton);
        EXPECT_TRUE(QtWindow(dialog).isVisible());
        dialog.exchangeSucceeds = true;
        QTest::mouseClick(QtControl(dialog, kIdOk), Qt::LeftButton);
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
    EXPECT_EQ(RunModal(dialog, PressIn(dialog, kIdLineEdit1, Qt::Key_Return)), 7);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialog.calls, (Calls{"OnInitDialog", "load"}));
}

TEST(TemplateDialogInit, FirstTabStopGetsTheFocusWithItsTextSelected) {
    ModalHangGuard guard;
    RecordingDialog terminal;
    RunModal(terminal, [&](QWidget&) {
        EXPECT_EQ(QtWindow(terminal).focusWidget(), QtControl(terminal, kIdOk));
        terminal.EndDialog(kIdCancel);
    });

    RecordingDialog portSelect(kPortSelectTemplate);
    portSelect.onInit = [&] { portSelect.SetDlgItemText(kIdPortNumberEdit, "12"); };
    RunModal(portSelect, [&](QWidget&) {
        auto* edit = static_cast<QLineEdit*>(QtControl(portSelect, kIdPortNumberEdit));
        EXPECT_EQ(QtWindow(portSelect).focusWidget(), edit);
        EXPECT_EQ(edit->selectedText(), QStringLiteral("12"));
        QTest::keyClicks(edit, "7");  // typing replaces the selected number
        EXPECT_EQ(edit->text(), QStringLiteral("7"));
        portSelect.EndDialog(kIdCancel);
    });
}

TEST(TemplateDialogInit, FocusLeftAloneWhenInitialisationSaysSo) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    dialog.initReturns = false;
    dialog.onInit = [&] { QtControl(dialog, kIdSettingsEdit)->setFocus(); };
    RunModal(dialog, [&](QWidget&) {
        EXPECT_EQ(QtWindow(dialog).focusWidget(), QtControl(dialog, kIdSettingsEdit));
        dialog.EndDialog(kIdCancel);
    });
}

TEST(TemplateDialogInit, EndingDuringInitialisationReturnsWithoutARun) {
    RecordingDialog dialog;
    dialog.onInit = [&] { dialog.EndDialog(5); };
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_FALSE(QtWindow(dialog).isVisible());
}

TEST(TemplateDialogOwner, OwnerIsDisabledDuringTheRunAndGetsItsFocusBack) {
    ModalHangGuard guard;
    RecordingDialog owner(kPortSelectTemplate);
    RecordingDialog inner;
    bool ownerEnabledInside = true;
    const int result = RunModal(owner, [&](QWidget&) {
        QtControl(owner, kIdStartButton)->setFocus();
        RunModal(inner, [&](QWidget& window) {
            ownerEnabledInside = QtWindow(owner).isEnabled();
            QTest::mouseClick(QtControl(owner, kIdCancel), Qt::LeftButton);  // refused
            EXPECT_TRUE(QtWindow(owner).isVisible());
            EXPECT_EQ(owner.calls.back(), "load");
            EXPECT_EQ(QApplication::activeModalWidget(), &window);
            // Kept above its owner.
            EXPECT_EQ(window.windowHandle()->transientParent(), QtWindow(owner).windowHandle());
            inner.EndDialog(kIdOk);
        });
        EXPECT_TRUE(QtWindow(owner).isEnabled());
        EXPECT_EQ(QtWindow(owner).focusWidget(), QtControl(owner, kIdStartButton));
        QTest::mouseClick(QtControl(owner, kIdCancel), Qt::LeftButton);
    });
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_EQ(result, kIdCancel);
}

TEST(TemplateDialogOwner, ExplicitParentIsTheOwnerButNeverTheQtParent) {
    ModalHangGuard guard;
    RecordingDialog owner(kPortSelectTemplate);
    QtWindow(owner).show();
    RecordingDialog inner(kTerminalTemplate, &owner);
    EXPECT_EQ(QtWindow(inner).parentWidget(), nullptr);
    RunModal(inner, [&](QWidget&) {
        EXPECT_FALSE(QtWindow(owner).isEnabled());
        EXPECT_TRUE(QtWindow(inner).isEnabled());
        inner.EndDialog(kIdCancel);
    });
    EXPECT_TRUE(QtWindow(owner).isEnabled());
}

}  // namespace
