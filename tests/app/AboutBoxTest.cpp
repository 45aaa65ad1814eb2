#include "app/CAboutBox.h"
#include "app/CPortSelectDlg.h"
#include "res/AppIcon.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "support/ModalTestDriver.h"
#include "ui/SystemMenu.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtIcon.h"

#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
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
    explicit AboutBoxCloser(const TemplateDialog& portSelect) {
        QObject::connect(&m_poll, &QTimer::timeout, [this, &portSelect] {
            QWidget* window = QApplication::activeModalWidget();
            auto* about = dynamic_cast<CAboutBox*>(DialogOfQtWindow(window));
            if (about == nullptr || !window->isVisible()) {
                return;
            }
            ++opened;
            portSelectEnabled = QtWindow(portSelect).isEnabled();
            caption = window->windowTitle().toStdString();
            QTest::mouseClick(QtControl(*about, kIdOk), Qt::LeftButton);
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
            AboutBoxCloser closer(dlg);
            dlg.OnSysCommand(row.nID, 0);
            EXPECT_EQ(closer.opened, row.opened) << std::hex << row.nID;
            if (row.opened != 0) {
                EXPECT_EQ(closer.caption, "About Quenlark");
                EXPECT_FALSE(closer.portSelectEnabled);
            }
            EXPECT_TRUE(QtWindow(dlg).isVisible());
            EXPECT_TRUE(QtWindow(dlg).isEnabled());
        }
        dlg.EndDialog(kIdCancel);
    });
    EXPECT_EQ(dlg.DoModal(), kIdCancel);
}

TEST(AboutBox, ItemAtTheEndOfTheContextMenuOpensIt) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    OnNextModalWindow([&](QWidget&) {
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

TEST(AboutBox, OkAndEscapeCloseIt) {
    ModalHangGuard guard;
    struct Row {
        std::function<void(CAboutBox&)> close;
        int result;
    };
    const Row rows[] = {
        {[](CAboutBox& box) { QTest::mouseClick(QtControl(box, kIdOk), Qt::LeftButton); }, kIdOk},
        {[](CAboutBox& box) { QTest::keyClick(QtControl(box, kIdOk), Qt::Key_Return); }, kIdOk},
        {[](CAboutBox& box) { QTest::keyClick(QtControl(box, kIdOk), Qt::Key_Escape); }, kIdCancel},
    };
    for (const Row& row : rows) {
        CAboutBox box;
        OnNextModalWindow([&](QWidget&) {
            EXPECT_EQ(QtWindow(box).focusWidget(), QtControl(box, kIdOk));
            row.close(box);
        });
        EXPECT_EQ(box.DoModal(), row.result);
    }
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
