#include "PatternBytes.h"
#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"

#include <algorithm>
#include <string>

#include <benchmark/benchmark.h>

namespace {

// A full log, the most one rendering ever shows, in each format.
void BM_RenderReceiveLog(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    const ByteArray bytes = PatternBytes(kRxPollBytes);
    std::size_t chars = 0;
    for (auto _ : state) {
        const std::string text = RenderReceiveLog(bytes.data(), kRxPollBytes, format);
        chars = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["chars"] = static_cast<double>(chars);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRxPollBytes);
}
BENCHMARK(BM_RenderReceiveLog)->ArgName("format")->DenseRange(kLineFormatText, kLineFormatHex);

// The plain part of a tick that takes a full poll: the log restarts with the new bytes and
// is rendered in Dec, the longest text.
void BM_ReceiveTickCore(benchmark::State& state) {
    const ByteArray chunk = PatternBytes(kRxBufferBytes);
    std::uint8_t rxChunk[kRxBufferBytes];
    std::copy(chunk.begin(), chunk.end(), rxChunk);
    std::uint8_t rxBuffer[kRxBufferBytes] = {};
    int nFill = 0;
    int nShown = 0;
    for (auto _ : state) {
        if (UpdateReceiveLog(rxBuffer, nFill, nShown, false, rxChunk, kRxPollBytes)) {
            const std::string text = RenderReceiveLog(rxBuffer, nShown, kLineFormatDec);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kRxPollBytes);
}
BENCHMARK(BM_ReceiveTickCore);

}  // namespace
