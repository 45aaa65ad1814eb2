#include "app/CAboutBox.h"
#include "app/CPortSelectDlg.h"
#include "codec/LineFormat.h"
#include "res/DialogIds.h"
#include "res/PortSelectTemplate.h"
#include "res/TerminalTemplate.h"
#include "support/MessageBoxObserver.h"
#include "support/ModalTestDriver.h"
#include "support/ModbusSlavePeer.h"
#include "support/ScopedConfigHome.h"
#include "support/TemporaryWorkingDirectory.h"
#include "terminal/CTerminalDlg.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/QtControls.h"

#include <filesystem>
#include <string>

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Grabs the window as it is drawn, checks its size against its template and keeps it as a
// PNG under the build folder.
void SaveScreenshot(TemplateDialog& window, const std::string& name) {
    const QImage image = QtWindow(window).grab().toImage();

    const DialogTemplate& dialogTemplate = window.Template();
    const DialogBaseUnits base = MeasureDialogBaseUnits(DialogFont(dialogTemplate));
    EXPECT_EQ(image.width(), DialogUnitsToPixelsX(dialogTemplate.cx, base)) << name;
    EXPECT_EQ(image.height(), DialogUnitsToPixelsY(dialogTemplate.cy, base)) << name;
    EXPECT_GT(image.width(), dialogTemplate.cx) << name;

    std::filesystem::create_directories(QUENLARK_SCREENSHOT_DIR);
    const std::filesystem::path file = std::filesystem::path(QUENLARK_SCREENSHOT_DIR) / name;
    EXPECT_TRUE(image.save(QString::fromStdString(file.string()))) << file;
}

void CheckAndSave(TemplateDialog& window, const std::string& name) {
    window.OnInitDialog();
    QtWindow(window).show();
    SaveScreenshot(window, name);
    QtWindow(window).hide();
}

void Click(TemplateDialog& window, int id) {
    QTest::mouseClick(QtControl(window, id), Qt::LeftButton);
}

void Type(TemplateDialog& window, int id, const char* text) {
    auto* edit = static_cast<QLineEdit*>(QtControl(window, id));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST(Screenshot, PortSelectionWindow) {
    CPortSelectDlg dlg;
    CheckAndSave(dlg, "port-selection.png");
}

TEST(Screenshot, AboutBox) {
    CAboutBox box;
    CheckAndSave(box, "about-box.png");
}

// A new user's first Modbus request, as the README tells it: port 5 linked to the device,
// Start, a Hex line with two placeholder bytes, Mb, Send, and the reply in the log.
TEST(Screenshot, FirstModbusRequestThroughBothWindows) {
    if (!ModbusSlavePeer::Available()) {
        GTEST_SKIP() << ModbusSlavePeer::MissingTools();
    }
    TemporaryWorkingDirectory workingDirectory;
    ScopedConfigHome home;
    ModbusSlavePeer slave(home, 5);
    const std::vector<std::uint8_t> reply = slave.ReadHoldingRegistersReply(0, 10);
    ModalHangGuard guard;
    MessageBoxObserver observer;
    CPortSelectDlg portSelect;
    std::string log;

    OnNextModalWindow([&](QWidget&) {
        Type(portSelect, kIdPortNumberEdit, "5");
        SaveScreenshot(portSelect, "first-request-port-selection.png");
        OnNextModalWindow([&](QWidget& window) {
            auto* terminal = dynamic_cast<CTerminalDlg*>(DialogOfQtWindow(&window));
            ASSERT_NE(terminal, nullptr) << "Start opened no terminal window";
            EXPECT_EQ(terminal->m_byPort, 5);
            // Hex picked from the line's selector.
            QtControl(*terminal, kIdLineFormat1)->setFocus();
            terminal->ComboSetCurSel(kIdLineFormat1, kLineFormatHex - 1);
            QTest::keyClick(QtControl(*terminal, kIdLineFormat1), Qt::Key_Down);
            Type(*terminal, kIdLineEdit1, "01,03,00,00,00,0a,00,00");
            Click(*terminal, kIdMbButton1);
            Click(*terminal, kIdSendButton1);
            // Two characters and two spaces an item in Hex, a line break after every 16th.
            const std::size_t shown = reply.size() * 4 + (reply.size() / 16) * 2;
            EXPECT_TRUE(
                WaitUntil([&] { return terminal->GetDlgItemText(kIdLogView).size() >= shown; }));
            log = terminal->GetDlgItemText(kIdLogView);
            SaveScreenshot(*terminal, "first-request-terminal.png");
            Click(*terminal, kIdCancel);
        });
        Click(portSelect, kIdStartButton);
        Click(portSelect, kIdCancel);
    });
    EXPECT_EQ(portSelect.DoModal(), kIdCancel);
    EXPECT_EQ(log,
              "01  03  14  00  01  00  02  00  03  00  ff  01  00  12  34  ab  \r\n"
              "cd  7f  ff  80  00  ff  ff  73  f5  ");
    EXPECT_EQ(slave.Replies(), std::vector<std::vector<std::uint8_t>>{reply});
}

}  // namespace
