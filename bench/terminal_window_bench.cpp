// One tick of the real terminal window on a pseudo-terminal, in each of the ways a tick meets
// the log: new bytes onto bytes held, the first bytes of a log, a full poll that starts the
// log again, and a log format change with no new bytes; the intake of a flat-out port; and a
// tick with the repaint it causes. The window is shown (offscreen), so the view lays out its text
// as it does on a screen; only the last case counts the painting.

#include "PatternBytes.h"
#include "codec/LineFormat.h"
#include "res/TerminalTemplate.h"
#include "serial/PosixSerialDevice.h"
#include "support/MessageBoxObserver.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"
#include "support/TemporaryWorkingDirectory.h"
#include "terminal/CTerminalDlg.h"
#include "terminal/ReceiveBuffer.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtControls.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace {

constexpr std::uint8_t kPort = 3;
constexpr auto kArrivalCheck = std::chrono::microseconds(200);
constexpr auto kArrivalGuard = std::chrono::seconds(10);
constexpr std::size_t kIntakeWriteBytes = 64 * 1024;

// The system's device with the channel's pauses left out, so that what the tick costs
// beyond its designed 10 ms poll pause shows on its own.
class PauselessDevice : public PosixSerialDevice {
public:
    void Sleep(std::uint32_t) override {}
};

int BytesWaiting(int fd) {
    int count = 0;
    return ::ioctl(fd, FIONREAD, &count) == 0 ? count : -1;
}

// The window on its pseudo-terminal, with its own timer stopped: only the ticks asked for run.
class TickedWindow {
public:
    TickedWindow() {
        dlg.m_byPort = kPort;
        dlg.OnInitDialog();
        dlg.KillTimer(CTerminalDlg::kTimerId);
        QtWindow(dlg).show();
    }
    ~TickedWindow() {
        QtWindow(dlg).hide();
        ::close(queue);
    }
    TickedWindow(const TickedWindow&) = delete;
    TickedWindow& operator=(const TickedWindow&) = delete;

    // Puts `count` bytes in the line's input queue, so that the next tick's poll takes them.
    bool Arrive(int count) {
        if (count == 0) {
            return true;
        }
        pty.WriteToMaster(PatternBytes(static_cast<std::size_t>(count)));
        const auto started = std::chrono::steady_clock::now();
        while (BytesWaiting(queue) < count) {
            if (std::chrono::steady_clock::now() - started > kArrivalGuard) {
                return false;
            }
            std::this_thread::sleep_for(kArrivalCheck);
        }
        return true;
    }
    void Tick() { dlg.OnTimer(CTerminalDlg::kTimerId); }

    TemporaryWorkingDirectory workingDirectory;
    ScopedConfigHome home;
    PtyPort pty{home, kPort};
    // A second look at the line's input queue, taken before the window's exclusive open.
    int queue = ::open(pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    MessageBoxObserver closesBoxes;  // the missing parameters file's message
    CTerminalDlg dlg{nullptr, [] { return std::make_unique<PauselessDevice>(); }};
};

// Arguments: the bytes held before the tick, the bytes its poll takes, and whether the log
// format changes (from Hex to Dec) before it.
void BM_TerminalWindowTick(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    const int arriving = static_cast<int>(state.range(1));
    const bool reformat = state.range(2) != 0;
    const int shown = held + arriving >= kRxPollBytes && arriving > 0 ? arriving : held + arriving;

    TickedWindow window;
    CTerminalDlg& dlg = window.dlg;
    for (auto _ : state) {
        state.PauseTiming();
        dlg.OnClear();
        dlg.ComboSetCurSel(kIdLogFormat, kLineFormatHex);
        bool ready = window.Arrive(held);
        window.Tick();
        if (reformat) {
            dlg.ComboSetCurSel(kIdLogFormat, kLineFormatDec);
            dlg.OnSelchangeLogFormat();
        }
        ready = ready && dlg.m_nShown == held && window.Arrive(arriving);
        QApplication::processEvents();
        state.ResumeTiming();

        window.Tick();

        state.PauseTiming();
        if (!ready || dlg.m_nShown != shown) {
            state.SkipWithError("the tick did not meet the log it was set up for");
        }
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(dlg.GetDlgItemText(kIdLogView).size());
}
BENCHMARK(BM_TerminalWindowTick)
    ->ArgNames({"held", "new", "reformat"})
    ->Args({1900, 96, 0})
    ->Args({0, 1152, 0})
    ->Args({2048, 2048, 0})
    ->Args({2047, 0, 1})
    ->Unit(benchmark::kMicrosecond);

// The intake of a port that delivers flat out: a device thread writes to the pseudo-terminal
// as fast as the line takes it, and each iteration empties the driver as the intake timer
// does, through the channel, the receive log and a capture file.
void BM_TerminalWindowIntake(benchmark::State& state) {
    TickedWindow window;
    window.dlg.StartCapture("intake.bin");
    std::atomic<bool> stop = false;
    std::thread device([&] {
        const ByteArray bytes = PatternBytes(kIntakeWriteBytes);
        while (!stop) {
            window.pty.WriteToMaster(bytes, std::chrono::milliseconds(100));
        }
    });
    std::int64_t taken = 0;
    for (auto _ : state) {
        taken += window.dlg.TakeWaitingBytes();
    }
    stop = true;
    device.join();
    if (!window.dlg.m_captureFile.IsOpen()) {
        state.SkipWithError("the capture stopped");
    }
    state.SetBytesProcessed(taken);
}
BENCHMARK(BM_TerminalWindowIntake)->UseRealTime()->MinTime(2.0);

// Arguments: whether the log shows its last page before the tick (which brings it back to the
// start), rather than its top.
void BM_TerminalWindowTickAndRepaint(benchmark::State& state) {
    constexpr int kHeld = 1900;
    constexpr int kArriving = 96;
    const bool lastPage = state.range(0) != 0;

    TickedWindow window;
    CTerminalDlg& dlg = window.dlg;
    QScrollBar& lines = *static_cast<LogView*>(QtControl(dlg, kIdLogView))->VerticalScrollBar();
    for (auto _ : state) {
        state.PauseTiming();
        dlg.OnClear();
        bool ready = window.Arrive(kHeld);
        window.Tick();
        lines.setValue(lastPage ? lines.maximum() : 0);
        ready = ready && window.Arrive(kArriving);
        QApplication::processEvents();
        state.ResumeTiming();

        window.Tick();
        QApplication::processEvents();

        state.PauseTiming();
        if (!ready || dlg.m_nShown != kHeld + kArriving) {
            state.SkipWithError("the tick did not meet the log it was set up for");
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TerminalWindowTickAndRepaint)
    ->ArgNames({"lastPage"})
    ->Args({0})
    ->Args({1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
