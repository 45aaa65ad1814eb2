#include "RecordingDialog.h"
#include "res/DialogIds.h"
#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/SystemMenu.h"
#include "ui/WindowIcon.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtIcon.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A key that types this text, as a keyboard layout with such keys would send it.
void TypeText(QWidget& widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
}

TEST(OnChar, CharacterAboveFFIsAQuestionMarkAndDialogKeysAreNone) {
    RecordingDialog dialog;
    QtWindow(dialog).show();
    if (QtWindow(dialog).focusWidget() != nullptr) {
        QtWindow(dialog).focusWidget()->clearFocus();
    }
    ASSERT_EQ(QtWindow(dialog).focusWidget(), nullptr);

    TypeText(QtWindow(dialog), QStringLiteral("\u00E9"));
    TypeText(QtWindow(dialog), QStringLiteral("\u20AC"));
    QTest::keyClick(&QtWindow(dialog), Qt::Key_Tab);
    EXPECT_EQ(dialog.chars, (std::vector<unsigned>{0xE9, '?'}));
    QtWindow(dialog).hide();
}

QAction* FindCommand(QMenu& menu, unsigned nID) {
    for (QAction* action : menu.actions()) {
        if (QtSystemCommandOf(*action) == nID) {
            return action;
        }
    }
    return nullptr;
}

TEST(SystemMenu, StartsWithCloseAndTakesSeparatorAndItems) {
    RecordingDialog dialog;
    QMenu& menu = QtSystemMenuOf(dialog);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(QtSystemCommandOf(*menu.actions()[0]), kScClose);

    dialog.GetSystemMenu().AppendSeparator();
    dialog.GetSystemMenu().AppendItem(0x0010, "&About Quenlark...");
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_TRUE(menu.actions()[1]->isSeparator());
    EXPECT_EQ(menu.actions()[2]->text(), QStringLiteral("&About Quenlark..."));
    EXPECT_EQ(QtSystemCommandOf(*menu.actions()[2]), 0x0010u);
}

TEST(SystemMenu, ContextMenuOfWindowOrButtonSendsTheChosenCommand) {
    ModalHangGuard guard;
    RecordingDialog dialog;
    dialog.GetSystemMenu().AppendItem(0x0010, "&About Quenlark...");
    QMenu& menu = QtSystemMenuOf(dialog);
    const int result = RunModal(dialog, [&] {
        QContextMenuEvent onWindow(QContextMenuEvent::Mouse, QPoint(2, 2),
                                   QtWindow(dialog).mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&QtWindow(dialog), &onWindow);
        ASSERT_TRUE(menu.isVisible());
        QTest::keyClick(&menu, Qt::Key_A);  // the item's access key
        EXPECT_FALSE(menu.isVisible());
        EXPECT_TRUE(WaitUntil([&] { return !dialog.commands.empty(); }));
        EXPECT_EQ(dialog.commands, (std::vector<unsigned>{0x0010}));

        // A button has no menu of its own: the window's shows.
        QWidget* button = QtControl(dialog, kIdSendButton1);
        QContextMenuEvent onButton(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                   button->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(button, &onButton);
        ASSERT_TRUE(menu.isVisible());
        FindCommand(menu, kScClose)->trigger();
        menu.hide();
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dialog.commands, (std::vector<unsigned>{0x0010, kScClose}));
    EXPECT_EQ(dialog.calls.back(), "OnCancel");
}

TEST(Icons, AppIconHasBothSizesDrawnForTheProgram) {
    const QIcon icon = ToQIcon(WindowIcon::Load(128));
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    const QImage large = icon.pixmap(32, 32).toImage();
    EXPECT_EQ(large.pixelColor(0, 0).alpha(), 0);                 // transparent corner
    EXPECT_EQ(large.pixelColor(7, 7), QColor(0x00, 0xFF, 0x00));  // the prompt on the screen
    const QImage small = icon.pixmap(16, 16).toImage();
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(small.pixelColor(4, 3), QColor(0x00, 0xFF, 0x00));
    EXPECT_TRUE(ToQIcon(WindowIcon::Load(129)).isNull());
}

TEST(Icons, WindowTakesLargeAndSmallIcon) {
    RecordingDialog dialog;
    const WindowIcon icon = WindowIcon::Load(128);
    dialog.SetIcon(icon, true);
    dialog.SetIcon(icon, false);
    const QList<QSize> sizes = QtWindow(dialog).windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

}  // namespace
