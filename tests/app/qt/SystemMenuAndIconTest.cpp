#include "AboutBoxCloser.h"
#include "app/CPortSelectDlg.h"
#include "res/AppIcon.h"
#include "res/DialogIds.h"
#include "res/StringTable.h"
#include "support/WindowTestDriver.h"
#include "ui/SystemMenu.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtIcon.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// On Qt the window manager owns the system menu, so the About item is in the window's own
// context menu.
TEST(AboutBox, ItemAtTheEndOfTheContextMenuOpensIt) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    OnNextModalWindow([&] {
        QMenu& menu = QtSystemMenuOf(dlg);
        const QList<QAction*> actions = menu.actions();
        ASSERT_GE(actions.size(), 3);
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        EXPECT_EQ(actions.back()->text(), QStringLiteral("&About Quenlark..."));
        EXPECT_EQ(QtSystemCommandOf(*actions.back()), kIdmAboutBox);

        AboutBoxCloser closer(dlg);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(3, 3),
                                     QtWindow(dlg).mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(&QtWindow(dlg), &rightClick);
        ASSERT_TRUE(menu.isVisible());
        QTest::keyClick(&menu, Qt::Key_A);
        EXPECT_TRUE(WaitUntil([&] { return closer.opened == 1; }));
        EXPECT_FALSE(closer.portSelectEnabled);
        EXPECT_TRUE(WaitUntil([&] { return QtWindow(dlg).isEnabled(); }));
        dlg.EndDialog(kIdCancel);
    });
    dlg.DoModal();
}

TEST(AboutBox, NoItemForAnEmptyString) {
    CPortSelectDlg dlg;
    const QMenu& shown = QtSystemMenuOf(dlg);
    const qsizetype before = shown.actions().size();
    CPortSelectDlg::AppendAboutItem(dlg.GetSystemMenu(), "");
    EXPECT_EQ(shown.actions().size(), before);
    CPortSelectDlg::AppendAboutItem(dlg.GetSystemMenu(), LoadStringResource(kIdsAboutBox));
    EXPECT_EQ(shown.actions().size(), before + 2);
}

TEST(PortSelectIcons, WindowAndDragIconAreTheApplicationIcon) {
    CPortSelectDlg dlg;
    EXPECT_EQ(dlg.m_hIcon, WindowIcon::Load(kAppIconId));
    EXPECT_TRUE(ToQIcon(dlg.m_hIcon).availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(ToQIcon(dlg.m_hIcon).availableSizes().contains(QSize(16, 16)));
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.GetIcon(true), dlg.m_hIcon);
    EXPECT_EQ(dlg.GetIcon(false), dlg.m_hIcon);
    EXPECT_FALSE(QtWindow(dlg).windowIcon().isNull());
    EXPECT_EQ(dlg.OnQueryDragIcon(), dlg.m_hIcon);
}

TEST(PortSelectIcons, MinimisedWindowPaintsTheIconCentred) {
    CPortSelectDlg dlg;
    QDialog& window = QtWindow(dlg);
    dlg.OnInitDialog();
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(dlg.IsIconic());
    // The window's own painting, without its controls.
    QImage image(window.size(), QImage::Format_ARGB32);
    window.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    window.hide();
    const int cx = window.style()->pixelMetric(QStyle::PM_LargeIconSize);
    const QImage icon = ToQIcon(dlg.m_hIcon).pixmap(cx, cx).toImage();
    const int x = (window.width() - cx + 1) / 2;
    const int y = (window.height() - cx + 1) / 2;
    // The icon's green prompt, where the centred icon puts it.
    EXPECT_EQ(icon.pixelColor(7, 7), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(image.pixelColor(x + 7, y + 7), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(image.pixelColor(x + 7, y + 5), icon.pixelColor(7, 5));
    EXPECT_EQ(image.pixelColor(1, 1), window.palette().window().color());
}

}  // namespace
