#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "serial/PosixSerialDevice.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"
#include "terminal/CaptureFile.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <numeric>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

// What only the Linux side can set up or see: a port's link that leads nowhere, the line's
// input queue, the errno texts, an exclusive open, a file-size limit, devices and pipes.

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

Bytes Sequence(std::size_t count) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

std::string Rendered(const Bytes& bytes, int format) {
    return RenderReceiveLog(bytes.data(), static_cast<int>(bytes.size()), format);
}

// The link that stands for COM<port> in the test's config home.
fs::path PortLink(int port) {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "quenlark" / "ports" /
           ("com" + std::to_string(port));
}

// A channel of the test's own on the port, as a second program would open it.
int OpenSecondChannel(std::uint8_t port, std::vector<std::string>& boxes) {
    CComPort channel(std::make_unique<PosixSerialDevice>(),
                     [&boxes](const std::string& text) { boxes.push_back(text); });
    channel.SetPortNumber(port);
    return channel.Open(CTerminalDlg::kDefaultSettings);
}

// Waits, without running the event loop (so no tick can take part of them), until `count`
// bytes wait in the line's input queue; false if they never do within the hang guard.
bool AllArrived(int queue, std::size_t count) {
    const auto started = std::chrono::steady_clock::now();
    int waiting = 0;
    while (::ioctl(queue, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) < count) {
        if (std::chrono::steady_clock::now() - started > PtyPort::kHangGuard) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return static_cast<std::size_t>(waiting) >= count;
}

TEST_F(TerminalWindowTest, PortThatDoesNotExistShowsOneErrorAndTheWindowRunsOn) {
    constexpr std::uint8_t kAbsentPort = 9;
    ScopedConfigHome home;
    fs::create_directories(home.PortsFolder());
    fs::create_symlink(home.Path() / "unplugged", home.PortsFolder() / "com9");

    const int result = Run(
        *m_dlg,
        [&] {
            ASSERT_EQ(m_observer.Shown().size(), 2u);
            const ShownMessageBox& error = m_observer.Shown()[1];
            EXPECT_EQ(error.caption, "Error");
            EXPECT_EQ(error.text, std::strerror(ENOENT));
            EXPECT_EQ(error.icon, MessageIcon::kInformation);
            EXPECT_TRUE(IsShown(*m_dlg));
            EXPECT_EQ(m_dlg->m_comPort.IsClosed(), 1);
            EXPECT_EQ(LogText(), "");

            // The adapter is plugged in: Set tries the same port number again and finds it.
            PtyPort plugged(home, kAbsentPort);
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
    const std::vector<ShownMessageBox>& shown = m_observer.Shown();
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](const ShownMessageBox& box) { return box.caption == "Error"; }),
              1);
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
            written = m_device.Give("AB");
        }
        shownDuringBox = LogText() == "41  42  ";
        return shownDuringBox;
    });
    Run([&] {
        EXPECT_EQ(m_dlg->m_nFill, 0);
        EXPECT_EQ(m_dlg->m_nShown, 0);
        ASSERT_TRUE(m_device.Give("C"));
        EXPECT_TRUE(LogShows("43  "));
        Click(kIdCancel);
    });
    ASSERT_EQ(holding.Shown().size(), 2u);
    EXPECT_EQ(holding.Shown()[1].text, std::strerror(EINVAL));
    EXPECT_TRUE(shownDuringBox);
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

TEST_F(TerminalWindowTest, OnePollOf2048BytesShowsThemAllAndAFormatChangeKeepsThem) {
    // A second look at the line's input queue, taken before the window's exclusive open.
    const int queue = ::open(PortLink(kPort).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(queue, 0);
    Run([&] {
        // No tick runs until this step returns, so the next one finds all 2048 waiting.
        const Bytes bytes = Sequence(kRxPollBytes);
        ASSERT_TRUE(m_device.Give(bytes));
        ASSERT_TRUE(AllArrived(queue, bytes.size()));
        // Taken in two polls, the second would have started the log again.
        EXPECT_TRUE(LogShows(Rendered(bytes, kLineFormatHex)));
        EXPECT_EQ(m_dlg->m_nShown, kRxPollBytes);

        Choose(kIdLogFormat, kLineFormatDec);
        EXPECT_TRUE(LogShows(Rendered(bytes, kLineFormatDec)));

        ASSERT_TRUE(m_device.Give(Bytes{0x07}));
        EXPECT_TRUE(LogShows("007  "));

        // More than a poll waiting: the one tick takes it all, 2048 at a time as ticks would.
        const Bytes more = Sequence(kRxPollBytes + 1000);
        ASSERT_TRUE(m_device.Give(more));
        ASSERT_TRUE(AllArrived(queue, more.size()));
        ASSERT_TRUE(WaitForPolls(1));
        EXPECT_EQ(m_dlg->m_nShown, 1000);
        Click(kIdCancel);
    });
    ::close(queue);
}

TEST_F(TerminalWindowTest, UnpluggedPortIsOpenedAgainWhenItsNumberLeadsToADeviceAgain) {
    ScopedConfigHome home;
    auto adapter = std::make_unique<PtyPort>(home, 9);
    // Waits for the window's next looks at the port, and counts its opens.
    const auto opensAfterLooks = [&](std::size_t looks) {
        const std::size_t target = m_calls.Count("DeviceExists \\\\.\\COM9") + looks;
        EXPECT_TRUE(WaitUntil([&] { return m_calls.Count("DeviceExists \\\\.\\COM9") >= target; }));
        return m_calls.Count("OpenDevice \\\\.\\COM9");
    };
    const auto steps = [&] {
        adapter->CloseMaster();
        EXPECT_EQ(opensAfterLooks(3), 1u);
        // Back, but held by another program: one box, then the window waits for a change.
        adapter = std::make_unique<PtyPort>(home, 9);
        const int held = ::open(adapter->SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(opensAfterLooks(3), 2u);
        ::close(held);
        adapter->CloseMaster();
        opensAfterLooks(1);
        Type(kIdSettingsEdit, "19200, N, 8, 1");
        adapter = std::make_unique<PtyPort>(home, 9);
        ASSERT_TRUE(adapter->WriteToMaster("B"));
        EXPECT_TRUE(LogShows("42  "));
        EXPECT_EQ(adapter->MasterBaudRate(), 19200u);
        Click(kIdCancel);
    };
    Run(*m_dlg, steps, 9);
    EXPECT_EQ(Messages().back(), std::strerror(EBUSY));
    EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(TerminalWindowTest, CaptureThatCannotWriteStopsWithOneMessageAndTheWindowRunsOn) {
    // The kernel refuses a write beyond the file-size limit, as a full disk refuses one.
    constexpr rlim_t kLimit = 1000;
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit limited{kLimit, previous.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);  // the write's error instead of the signal
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string file = (m_cwd.Path() / "full.bin").string();
    m_dlg->m_strCaptureFile = file;
    const Bytes sent = Sequence(1500);
    // The box waits until a byte sent meanwhile has reached the log: the ticks go on reading.
    MessageBoxObserver holding(60s);
    bool written = false;
    holding.CloseWhen([&] {
        if (holding.Shown().size() == 2 && !written && m_dlg->m_nShown == 1500) {
            written = m_device.Give(Bytes{0x07});
        }
        return holding.Shown().size() == 1 || m_dlg->m_nShown == 1501;
    });
    Run([&] {
        ASSERT_TRUE(m_device.Give(sent));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 1501; }));
        EXPECT_FALSE(IsSystemMenuItemChecked(*m_dlg, CTerminalDlg::kIdmCaptureToFile));
        Click(kIdCancel);
    });
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ASSERT_EQ(holding.Shown().size(), 2u);
    EXPECT_EQ(holding.Shown()[1].text,
              "Capture to file stopped: " + file + '\n' + std::strerror(EFBIG));
    EXPECT_EQ(fs::file_size(file), kLimit);
}

TEST(CaptureFile, FoldersDevicesAndPipesAreTurnedAwayWithTheReason) {
    TemporaryWorkingDirectory cwd;
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    const std::pair<std::string, std::string> rows[] = {
        {".", std::strerror(EISDIR)},
        {"/dev/full", CaptureFile::kNoDiskFileText},
        {"fifo", CaptureFile::kNoDiskFileText},
    };
    for (const auto& [path, reason] : rows) {
        CaptureFile file;
        EXPECT_FALSE(file.Open(path)) << path;
        EXPECT_EQ(file.ErrorText(), reason) << path;
    }
}

}  // namespace
