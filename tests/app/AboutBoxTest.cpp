#include "app/CAboutBox.h"
#include "app/CPortSelectDlg.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "support/ModalTestDriver.h"
#include "ui/SystemMenu.h"

#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Closes every About box that runs modally while it exists, with its OK button, noting what
// it found.
class AboutBoxCloser {
public:
    explicit AboutBoxCloser(const QWidget* portSelect) {
        QObject::connect(&m_poll, &QTimer::timeout, [this, portSelect] {
            auto* about = dynamic_cast<CAboutBox*>(QApplication::activeModalWidget());
            if (about == nullptr || !about->isVisible()) {
                return;
            }
            ++opened;
            portSelectEnabled = portSelect != nullptr && portSelect->isEnabled();
            caption = about->windowTitle().toStdString();
            QTest::mouseClick(about->GetDlgItem(kIdOk), Qt::LeftButton);
        });
        m_poll.start(5);
    }

    int opened = 0;
    bool portSelectEnabled = true;
    std::string caption;

private:
    QTimer m_poll;
};

TEST(AboutBox, SystemCommandsFrom0x10To0x1FOpenIt) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    struct Row {
        unsigned nID;
        int opened;
    };
    const Row rows[] = {{0x0010, 1}, {0x0011, 1}, {0x001F, 1}, {0x000F, 0},
                        {0x0020, 0}, {0xF020, 0}, {0x0110, 0}};
    OnNextModalWindow([&](QWidget&) {
        for (const Row& row : rows) {
            AboutBoxCloser closer(&dlg);
            dlg.OnSysCommand(row.nID, 0);
            EXPECT_EQ(closer.opened, row.opened) << std::hex << row.nID;
            if (row.opened != 0) {
                EXPECT_EQ(closer.caption, "About Quenlark");
                EXPECT_FALSE(closer.portSelectEnabled);
            }
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_TRUE(dlg.isEnabled());
        }
        dlg.EndDialog(kIdCancel);
    });
    EXPECT_EQ(dlg.DoModal(), kIdCancel);
}

TEST(AboutBox, ItemAtTheEndOfTheContextMenuOpensIt) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    OnNextModalWindow([&](QWidget&) {
        QMenu& menu = dlg.GetSystemMenu().Menu();
        const QList<QAction*> actions = menu.actions();
        ASSERT_GE(actions.size(), 3);
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        EXPECT_EQ(actions.back()->text(), QStringLiteral("&About Quenlark..."));
        EXPECT_EQ(SystemMenu::CommandOf(*actions.back()), kIdmAboutBox);

        AboutBoxCloser closer(&dlg);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(3, 3),
                                     dlg.mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(&dlg, &rightClick);
        ASSERT_TRUE(menu.isVisible());
        QTest::keyClick(&menu, Qt::Key_A);
        EXPECT_TRUE(WaitUntil([&] { return closer.opened == 1; }));
        EXPECT_FALSE(closer.portSelectEnabled);
        EXPECT_TRUE(WaitUntil([&] { return dlg.isEnabled(); }));
        dlg.EndDialog(kIdCancel);
    });
    dlg.DoModal();
}

TEST(AboutBox, NoItemForAnEmptyString) {
    CPortSelectDlg dlg;
    SystemMenu& menu = dlg.GetSystemMenu();
    const qsizetype before = menu.Menu().actions().size();
    CPortSelectDlg::AppendAboutItem(menu, "");
    EXPECT_EQ(menu.Menu().actions().size(), before);
    CPortSelectDlg::AppendAboutItem(menu, LoadStringResource(kIdsAboutBox));
    EXPECT_EQ(menu.Menu().actions().size(), before + 2);
}

TEST(AboutBox, OkAndEscapeCloseIt) {
    ModalHangGuard guard;
    struct Row {
        std::function<void(CAboutBox&)> close;
        int result;
    };
    const Row rows[] = {
        {[](CAboutBox& box) { QTest::mouseClick(box.GetDlgItem(kIdOk), Qt::LeftButton); }, kIdOk},
        {[](CAboutBox& box) { QTest::keyClick(box.GetDlgItem(kIdOk), Qt::Key_Return); }, kIdOk},
        {[](CAboutBox& box) { QTest::keyClick(box.GetDlgItem(kIdOk), Qt::Key_Escape); }, kIdCancel},
    };
    for (const Row& row : rows) {
        CAboutBox box;
        OnNextModalWindow([&](QWidget&) {
            EXPECT_EQ(box.focusWidget(), box.GetDlgItem(kIdOk));
            row.close(box);
        });
        EXPECT_EQ(box.DoModal(), row.result);
    }
}

TEST(PortSelectIcons, WindowAndDragIconAreTheApplicationIcon) {
    CPortSelectDlg dlg;
    EXPECT_TRUE(dlg.m_hIcon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(dlg.m_hIcon.availableSizes().contains(QSize(16, 16)));
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.GetIcon(true).cacheKey(), dlg.m_hIcon.cacheKey());
    EXPECT_EQ(dlg.GetIcon(false).cacheKey(), dlg.m_hIcon.cacheKey());
    EXPECT_FALSE(dlg.windowIcon().isNull());
    EXPECT_EQ(dlg.OnQueryDragIcon().cacheKey(), dlg.m_hIcon.cacheKey());
}

TEST(PortSelectIcons, MinimisedWindowPaintsTheIconCentred) {
    CPortSelectDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    dlg.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(dlg.IsIconic());
    // The window's own painting, without its controls.
    QImage image(dlg.size(), QImage::Format_ARGB32);
    dlg.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    dlg.hide();
    const int cx = dlg.style()->pixelMetric(QStyle::PM_LargeIconSize);
    const QImage icon = dlg.m_hIcon.pixmap(cx, cx).toImage();
    const int x = (dlg.width() - cx + 1) / 2;
    const int y = (dlg.height() - cx + 1) / 2;
    // The icon's green prompt, where the centred icon puts it.
    EXPECT_EQ(icon.pixelColor(7, 7), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(image.pixelColor(x + 7, y + 7), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(image.pixelColor(x + 7, y + 5), icon.pixelColor(7, 5));
    EXPECT_EQ(image.pixelColor(1, 1), dlg.palette().window().color());
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
