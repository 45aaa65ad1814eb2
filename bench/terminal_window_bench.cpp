// One tick of the real terminal window that takes a full poll: the channel reads 2048 bytes
// from a pseudo-terminal, the log restarts with them, renders them and replaces the log
// view's text. The window is shown (offscreen), so the view lays out the new text as it
// does on a screen; painting comes after the tick and is not counted.

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
#include "ui/qt/QtControls.h"

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
#include <benchmark/benchmark.h>

namespace {

constexpr std::uint8_t kPort = 3;
constexpr auto kArrivalCheck = std::chrono::microseconds(200);
constexpr auto kArrivalGuard = std::chrono::seconds(10);

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

void BM_TerminalWindowTick(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    const bool pause = state.range(1) != 0;

    TemporaryWorkingDirectory workingDirectory;
    ScopedConfigHome home;
    PtyPort pty(home, kPort);
    // A second look at the line's input queue, taken before the window's exclusive open.
    const int queue = ::open(pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    MessageBoxObserver closesBoxes;  // the missing parameters file's message
    CTerminalDlg dlg(nullptr, [pause]() -> std::unique_ptr<SerialDevice> {
        if (pause) {
            return std::make_unique<PosixSerialDevice>();
        }
        return std::make_unique<PauselessDevice>();
    });
    dlg.m_byPort = kPort;
    dlg.OnInitDialog();
    dlg.KillTimer(CTerminalDlg::kTimerId);  // only the ticks measured here run
    dlg.ComboSetCurSel(kIdLogFormat, format);
    QtWindow(dlg).show();

    const ByteArray bytes = PatternBytes(kRxPollBytes);
    for (auto _ : state) {
        state.PauseTiming();
        pty.WriteToMaster(bytes);
        const auto started = std::chrono::steady_clock::now();
        while (BytesWaiting(queue) < kRxPollBytes &&
               std::chrono::steady_clock::now() - started < kArrivalGuard) {
            std::this_thread::sleep_for(kArrivalCheck);
        }
        QApplication::processEvents();
        state.ResumeTiming();

        dlg.OnTimer(CTerminalDlg::kTimerId);

        state.PauseTiming();
        if (dlg.m_nShown != kRxPollBytes) {
            state.SkipWithError("a tick did not take the whole 2048 bytes");
        }
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(dlg.GetDlgItemText(kIdLogView).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRxPollBytes);
    QtWindow(dlg).hide();
    ::close(queue);
}
BENCHMARK(BM_TerminalWindowTick)
    ->ArgNames({"format", "pause"})
    ->Args({kLineFormatDec, 1})
    ->Args({kLineFormatText, 0})
    ->Args({kLineFormatDec, 0})
    ->Args({kLineFormatHex, 0})
    ->Unit(benchmark::kMillisecond);

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
