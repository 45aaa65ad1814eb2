#include "PatternBytes.h"
#include "codec/LineCodec.h"
#include "codec/ModbusCrc16.h"

#include <string>

#include <benchmark/benchmark.h>

namespace {

// The longest line a Send writes.
constexpr std::size_t kLineBytes = 1020;
constexpr std::size_t kCrcBytes = 2048;

void BM_TextToBytes(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    std::string text;
    BytesToText(PatternBytes(kLineBytes), format, text);
    ByteArray bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextToBytes(bytes, format, text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TextToBytes)->ArgName("format")->DenseRange(kLineFormatText, kLineFormatHex);

void BM_BytesToText(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    const ByteArray bytes = PatternBytes(kLineBytes);
    std::string text;
    for (auto _ : state) {
        BytesToText(bytes, format, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLineBytes));
}
BENCHMARK(BM_BytesToText)->ArgName("format")->DenseRange(kLineFormatText, kLineFormatHex);

void BM_ModbusCrc16(benchmark::State& state) {
    const ByteArray bytes = PatternBytes(kCrcBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ModbusCrc16(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCrcBytes));
}
BENCHMARK(BM_ModbusCrc16);

}  // namespace
