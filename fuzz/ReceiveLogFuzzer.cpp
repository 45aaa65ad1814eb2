#include "Require.h"
#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

// One item per byte value, as the formatting library writes it.
std::array<std::string, 256> Items(const char* itemFormat) {
    std::array<std::string, 256> items;
    char item[8];
    for (int b = 0; b < 256; ++b) {
        std::snprintf(item, sizeof item, itemFormat, b);
        items[static_cast<std::size_t>(b)] = item;
    }
    return items;
}

std::string ModelLog(const ByteArray& held, int format) {
    static const std::array<std::string, 256> kDec = Items("%3.3d  ");
    static const std::array<std::string, 256> kHex = Items("%2.2x  ");
    std::string text;
    for (std::size_t i = 0; i < held.size(); ++i) {
        const char c = static_cast<char>(held[i]);
        if (format == kLineFormatText) {
            text += c == '\r' || c == '\n' ? "\r\n" : std::string(c != '\0', c);
        } else if (format == kLineFormatDec || format == kLineFormatHex) {
            text += (format == kLineFormatDec ? kDec : kHex)[held[i]];
            text += (i + 1) % kLogItemsPerLine == 0 ? "\r\n" : "";
        }
    }
    return text;
}

}  // namespace

// A sequence of the window's events, one or three input bytes each: Clear, a log format change
// (3 stands for a selector without an entry), or a tick whose poll brought a small count, or a
// 16-bit signed count (failures and counts beyond one poll included).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kRxBufferBytes> rxBuffer;
    std::array<std::uint8_t, kRxBufferBytes> rxChunk;
    rxBuffer.fill(kUntouched);
    int nFill = 0;
    int nShown = 0;
    bool redraw = false;
    int format = kLineFormatHex;
    ByteArray held;

    for (std::size_t i = 0; i < size; ++i) {
        const int event = data[i] & 3;
        if (event == 0) {
            ResetReceiveLog(nFill, nShown);
            held.clear();
            continue;
        }
        if (event == 1) {
            format = data[i] >> 6;
            redraw = true;
            continue;
        }
        int n = data[i] >> 2;
        if (event == 3 && i + 2 < size) {
            n = static_cast<std::int16_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        }
        for (std::size_t k = 0; k < kRxPollBytes; ++k) {
            rxChunk[k] = static_cast<std::uint8_t>(i * 31 + k);
        }

        const bool render = n > 0 || redraw;
        Require(UpdateReceiveLog(rxBuffer, nFill, nShown, redraw, rxChunk, n) == render,
                "a tick renders when bytes arrived or the format changed");
        const auto received = static_cast<std::size_t>(std::clamp(n, 0, kRxPollBytes));
        if (received > 0 && held.size() + received >= kRxPollBytes) {
            held.clear();
        }
        held.insert(held.end(), rxChunk.begin(), rxChunk.begin() + received);
        Require(nFill == static_cast<int>(held.size()) && nShown == nFill, "counts");
        Require(std::equal(held.begin(), held.end(), rxBuffer.begin()), "bytes held");
        Require(std::all_of(rxBuffer.begin() + kRxPollBytes, rxBuffer.end(),
                            [](std::uint8_t b) { return b == kUntouched; }),
                "the buffer's upper half stays unused");
        if (render) {
            redraw = false;
            Require(RenderReceiveLog(rxBuffer.data(), nShown, format) == ModelLog(held, format),
                    "rendered log");
        }
    }
    return 0;
}
