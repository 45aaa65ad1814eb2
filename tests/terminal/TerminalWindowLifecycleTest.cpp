#include "TerminalWindowTest.h"
#include "params/ParametersFile.h"
#include "params/TextModeReader.h"
#include "res/DialogIds.h"
#include "serial/PosixSerialDevice.h"
#include "ui/qt/QtControls.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <termios.h>

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QWindow>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr char kParametersFile[] = "VwData.dat";
// Five lines with no selector entry and an empty text: what OK writes after a first start.
const std::string kUntouchedFile = "-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n";
// AT in Text, a Modbus request in Hex, three bytes in Dec, two empty Text lines.
const std::string kExampleFile =
    "0\r\nAT\r\n2\r\n01,03,00,00,00,01\r\n1\r\n001,002,003\r\n0\r\n\r\n0\r\n\r\n";

std::string FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool TwoStopBits(const termios& attributes) {
    return (attributes.c_cflag & CSTOPB) != 0;
}

// A channel of the test's own on the port, as a second program would open it.
int OpenSecondChannel(std::uint8_t port, std::vector<std::string>& boxes) {
    CComPort channel(std::make_unique<PosixSerialDevice>(
        [&boxes](const std::string& text) { boxes.push_back(text); }));
    channel.SetPortNumber(port);
    return channel.Open(CTerminalDlg::kDefaultSettings);
}

std::size_t IndexOf(const std::vector<std::string>& calls, std::string_view call) {
    return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

TEST_F(TerminalWindowTest, OpensWithoutParametersFileWithEmptyLinesHexAndTheDefaultSettings) {
    const int result = Run([&] {
        EXPECT_EQ(QtWindow(*m_dlg).windowTitle(), QStringLiteral("Viewer"));
        for (const SendLineControls& line : kSendLines) {
            EXPECT_EQ(Text(line.edit), "") << line.edit;
            EXPECT_EQ(m_dlg->ComboGetCurSel(line.format), -1) << line.format;
            EXPECT_EQ(Text(line.format), "") << line.format;
            EXPECT_EQ(m_dlg->ComboGetCount(line.format), 3) << line.format;
        }
        EXPECT_EQ(m_dlg->ComboGetCurSel(kIdLogFormat), 2);
        EXPECT_EQ(Text(kIdLogFormat), "Hex");
        EXPECT_EQ(Text(kIdSettingsEdit), "9600, N, 8, 1");
        EXPECT_EQ(LogText(), "");
        EXPECT_EQ(QtWindow(*m_dlg).focusWidget(), QtControl(*m_dlg, kIdOk));

        EXPECT_EQ(m_dlg->m_comPort.IsClosed(), 0);
        EXPECT_EQ(m_pty.MasterBaudRate(), 9600u);
        EXPECT_FALSE(TwoStopBits(m_pty.MasterTermios()));
        for (int format : {m_dlg->m_nLineFormat1, m_dlg->m_nLineFormat2, m_dlg->m_nLineFormat3,
                           m_dlg->m_nLineFormat4, m_dlg->m_nLineFormat5}) {
            EXPECT_EQ(format, -1);
        }
        Click(kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    ASSERT_EQ(Messages(), std::vector<std::string>{kParametersOpenFailedMessage});
    EXPECT_EQ(m_observer.Shown()[0].caption, "terminal_tests");
    EXPECT_EQ(m_observer.Shown()[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(fs::exists(kParametersFile));
}

TEST_F(TerminalWindowTest, LoadsTheSendLinesAndOkWritesThemBackWhole) {
    WriteFile(kParametersFile, kExampleFile);
    const auto old = fs::file_time_type::clock::now() - 1h;
    fs::last_write_time(kParametersFile, old);

    const int result = Run([&] {
        const std::string texts[] = {"AT", "01,03,00,00,00,01", "001,002,003", "", ""};
        const int formats[] = {0, 2, 1, 0, 0};
        for (std::size_t i = 0; i < std::size(kSendLines); ++i) {
            EXPECT_EQ(Text(kSendLines[i].edit), texts[i]) << i;
            EXPECT_EQ(m_dlg->ComboGetCurSel(kSendLines[i].format), formats[i]) << i;
        }
        EXPECT_EQ(m_dlg->m_nLineFormat2, 2);
        EXPECT_EQ(m_dlg->m_nLineFormat3, 1);
        // The file's text is shown as it stands, not parsed: the bytes come with the first use.
        EXPECT_TRUE(m_dlg->m_lineBytes2.empty());
        EXPECT_EQ(m_dlg->ComboGetCurSel(kIdLogFormat), 2);
        Click(kIdOk);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(FileBytes(kParametersFile), kExampleFile);
    EXPECT_NE(fs::last_write_time(kParametersFile), old);
}

TEST_F(TerminalWindowTest, OverlongTextLineInTheFileShowsCappedAndFieldsTakeNoMore) {
    const std::string huge(TextModeReader::kMaxLineLength + 1000, 'A');
    WriteFile(kParametersFile, "0\r\n" + huge + "\r\n");
    Run([&] {
        EXPECT_EQ(Text(kSendLines[0].edit), huge.substr(0, TextModeReader::kMaxLineLength));
        m_dlg->SetDlgItemText(kSendLines[1].edit, huge);
        EXPECT_EQ(Text(kSendLines[1].edit).size(), static_cast<std::size_t>(kEditTextLimit));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowTest, StartUpLoadsTheFileBeforeOpeningThePortAndPurgesBeforeThePolls) {
    MessageBoxObserver holding(60s);
    std::size_t callsWhileMessageOpen = 1;
    holding.CloseWhen([&] {
        callsWhileMessageOpen = m_calls.calls.size();
        return true;
    });
    Run([&] {
        ASSERT_TRUE(WaitForPolls(1));
        Click(kIdCancel);
    });
    ASSERT_EQ(holding.Shown().size(), 1u);
    EXPECT_EQ(holding.Shown()[0].text, kParametersOpenFailedMessage);
    EXPECT_EQ(callsWhileMessageOpen, 0u);

    const std::vector<std::string>& calls = m_calls.calls;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "OpenDevice \\\\.\\COM7");
    const std::size_t purge = IndexOf(calls, "Purge");
    ASSERT_LT(purge, calls.size());
    EXPECT_LT(IndexOf(calls, "SetTimeouts"), purge);
    EXPECT_LT(purge, IndexOf(calls, "ReadAvailable"));
    EXPECT_EQ(m_calls.Count("Purge"), 1u);
    // Each poll is one pause and one look at what has arrived.
    const std::size_t firstPoll = IndexOf(calls, "ReadAvailable");
    EXPECT_EQ(calls[firstPoll - 1], "Sleep 10");
}

TEST_F(TerminalWindowTest, PortThatDoesNotExistShowsOneErrorAndTheWindowRunsOn) {
    constexpr std::uint8_t kAbsentPort = 9;
    fs::create_directories(m_home.PortsFolder());
    fs::create_symlink(m_home.Path() / "unplugged", m_home.PortsFolder() / "com9");

    const int result = Run(
        *m_dlg,
        [&] {
            ASSERT_EQ(m_observer.Shown().size(), 2u);
            const ShownMessageBox& error = m_observer.Shown()[1];
            EXPECT_EQ(error.caption, "Error");
            EXPECT_EQ(error.text, std::strerror(ENOENT));
            EXPECT_EQ(error.icon, QMessageBox::Information);
            EXPECT_TRUE(QtWindow(*m_dlg).isVisible());
            EXPECT_EQ(m_dlg->m_comPort.IsClosed(), 1);
            EXPECT_EQ(LogText(), "");

            // The adapter is plugged in: Set tries the same port number again and finds it.
            PtyPort plugged(m_home, kAbsentPort);
            Type(kIdSettingsEdit, "19200, N, 8, 1");
            Click(kIdSetButton);
            EXPECT_EQ(m_observer.Shown().size(), 2u);
            EXPECT_EQ(m_dlg->m_comPort.IsClosed(), 0);
            EXPECT_EQ(plugged.MasterBaudRate(), 19200u);
            ASSERT_TRUE(plugged.WriteToMaster("hi"));
            EXPECT_TRUE(LogShows("68  69  "));
            Click(kIdCancel);
        },
        kAbsentPort);
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(m_calls.Count("ShowErrorBox"), 1u);
}

TEST_F(TerminalWindowTest, TickDuringTheStartUpErrorBoxShowsWhatArrivedThenTheLogStartsAgain) {
    // Four data bits: the port opens, then refuses the settings, and the error box waits
    // with the timer already running.
    m_dlg->m_strSettings = "1234, N, 8, 1";
    MessageBoxObserver holding(60s);
    bool written = false;
    bool shownDuringBox = false;
    holding.CloseWhen([&] {
        if (holding.Shown().size() == 1) {
            return true;  // the parameters file's message
        }
        if (!written) {
            written = m_pty.WriteToMaster("AB");
        }
        shownDuringBox = LogText() == "41  42  ";
        return shownDuringBox;
    });
    Run([&] {
        EXPECT_EQ(m_dlg->m_nFill, 0);
        EXPECT_EQ(m_dlg->m_nShown, 0);
        ASSERT_TRUE(m_pty.WriteToMaster("C"));
        EXPECT_TRUE(LogShows("43  "));
        Click(kIdCancel);
    });
    ASSERT_EQ(holding.Shown().size(), 2u);
    EXPECT_EQ(holding.Shown()[1].text, std::strerror(EINVAL));
    EXPECT_TRUE(shownDuringBox);
}

TEST_F(TerminalWindowTest, SetReopensThePortWithTheTypedSettingsAndTouchesNothingElse) {
    Run([&] {
        ASSERT_TRUE(m_pty.WriteToMaster("Z"));
        ASSERT_TRUE(LogShows("5a  "));
        const std::size_t before = m_calls.calls.size();
        Type(kIdSettingsEdit, "19200, E, 7, 2");
        Click(kIdSetButton);
        EXPECT_EQ(m_dlg->m_strSettings, "19200, E, 7, 2");
        EXPECT_EQ(m_pty.MasterBaudRate(), 19200u);
        EXPECT_TRUE(TwoStopBits(m_pty.MasterTermios()));
        EXPECT_EQ(m_calls.Matching("CloseDevice", before).size(), 1u);
        EXPECT_EQ(m_calls.Matching("OpenDevice", before),
                  std::vector<std::string>{"OpenDevice \\\\.\\COM7"});

        // Unchanged: closed and opened again all the same.
        const std::size_t again = m_calls.calls.size();
        Click(kIdSetButton);
        EXPECT_EQ(m_calls.Matching("CloseDevice", again).size(), 1u);
        EXPECT_EQ(m_calls.Matching("OpenDevice", again).size(), 1u);
        EXPECT_EQ(m_pty.MasterBaudRate(), 19200u);

        EXPECT_TRUE(m_calls.Matching("Purge", before).empty());
        EXPECT_EQ(LogText(), "5a  ");
        EXPECT_EQ(m_dlg->m_nFill, 1);
        ASSERT_TRUE(m_pty.WriteToMaster("Y"));
        EXPECT_TRUE(LogShows("5a  59  "));
        Click(kIdCancel);
    });
    EXPECT_EQ(Messages(), std::vector<std::string>{kParametersOpenFailedMessage});
}

TEST_F(TerminalWindowTest, OneTypedToTheWindowShowsFffWhileTheTimerTicksOn) {
    Run([&] {
        MessageBoxObserver holding(60s);
        bool written = false;
        bool shownDuringBox = false;
        holding.CloseWhen([&] {
            if (!written) {
                written = m_pty.WriteToMaster("hi");
            }
            shownDuringBox = LogText() == "68  69  ";
            return shownDuringBox;
        });
        TypeToWindow('1');
        ASSERT_EQ(holding.Shown().size(), 1u);
        EXPECT_EQ(holding.Shown()[0].text, "fff");
        EXPECT_EQ(holding.Shown()[0].caption, "terminal_tests");
        EXPECT_EQ(holding.Shown()[0].icon, QMessageBox::Warning);
        EXPECT_TRUE(shownDuringBox);

        TypeToWindow('2');
        TypeToWindow('a');
        EXPECT_EQ(holding.Shown().size(), 1u);
        // Typed into a field, '1' is the field's.
        Type(kIdLineEdit2, "1");
        EXPECT_EQ(Text(kIdLineEdit2), "1");
        EXPECT_EQ(holding.Shown().size(), 1u);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowTest, CancelEscapeAndTheCloseBoxLeaveTheParametersFileAlone) {
    WriteFile(kParametersFile, kExampleFile);
    const auto old = fs::file_time_type::clock::now() - 1h;
    fs::last_write_time(kParametersFile, old);

    const std::vector<std::function<void(CTerminalDlg&)>> ways = {
        [&](CTerminalDlg&) { Click(kIdCancel); },
        [&](CTerminalDlg& dlg) { QTest::keyClick(QtControl(dlg, kIdLineEdit1), Qt::Key_Escape); },
        [&](CTerminalDlg& dlg) { QtWindow(dlg).windowHandle()->close(); },
    };
    for (const auto& leave : ways) {
        m_dlg = MakeWindow();
        const int result = Run([&] {
            Type(kIdLineEdit1, "changed");
            Choose(kIdLineFormat1, 2);
            leave(*m_dlg);
        });
        EXPECT_EQ(result, kIdCancel);
        EXPECT_EQ(FileBytes(kParametersFile), kExampleFile);
        EXPECT_EQ(fs::last_write_time(kParametersFile), old);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TerminalWindowTest, EnterInASendLineOrTheSettingsFieldSavesAndCloses) {
    for (const int field : {kIdLineEdit3, kIdSettingsEdit}) {
        fs::remove(kParametersFile);
        m_dlg = MakeWindow();
        const int result = Run([&] {
            Type(kIdLineEdit3, "hello");
            QTest::keyClick(QtControl(*m_dlg, field), Qt::Key_Return);
        });
        EXPECT_EQ(result, kIdOk) << field;
        EXPECT_EQ(FileBytes(kParametersFile),
                  "-1\r\n\r\n-1\r\n\r\n-1\r\nhello\r\n-1\r\n\r\n-1\r\n\r\n")
            << field;
    }
}

TEST_F(TerminalWindowTest, OkAfterAFirstStartWritesFiveEmptyLinesWithNoEntry) {
    EXPECT_EQ(Run([&] { Click(kIdOk); }), kIdOk);
    EXPECT_EQ(FileBytes(kParametersFile), kUntouchedFile);
}

TEST_F(TerminalWindowTest, OkWhenTheFileCannotBeWrittenSaysSoAndStillCloses) {
    fs::create_directory(kParametersFile);  // a folder where the file should go
    EXPECT_EQ(Run([&] { Click(kIdOk); }), kIdOk);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kParametersOpenFailedMessage,
                                                    kParametersCreateFailedMessage}));
    EXPECT_TRUE(fs::is_directory(kParametersFile));
}

TEST_F(TerminalWindowTest, PortStaysTakenUntilTheWindowIsDestroyed) {
    std::vector<std::string> boxes;
    Run([&] {
        EXPECT_EQ(OpenSecondChannel(kPort, boxes), 0);
        Click(kIdOk);
    });
    EXPECT_EQ(OpenSecondChannel(kPort, boxes), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{std::strerror(EBUSY), std::strerror(EBUSY)}));

    m_dlg.reset();
    EXPECT_EQ(m_calls.calls.back(), "CloseDevice");
    boxes.clear();
    EXPECT_EQ(OpenSecondChannel(kPort, boxes), 1);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
