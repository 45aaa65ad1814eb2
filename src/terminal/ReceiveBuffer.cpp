#include "terminal/ReceiveBuffer.h"

#include <algorithm>

namespace {
// The fill level never passes the buffer's last index, whatever it is given.
constexpr int kLastRxIndex = kRxBufferBytes - 1;
}  // namespace

bool UpdateReceiveLog(RxBuffer rxBuffer, int& nFill, int& nShown, bool redraw, RxChunk rxChunk,
                      int n) {
    if (n <= 0 && !redraw) {
        return false;
    }
    const int received = std::clamp(n, 0, kRxPollBytes);
    if (nFill < 0 || nFill > kRxPollBytes) {
        nFill = 0;
    }
    // A format change alone re-renders what is held; only new bytes may start a new log.
    if (received > 0 && nFill + received >= kRxPollBytes) {
        nFill = 0;
    }
    for (int i = 0; i < received; ++i) {
        rxBuffer[static_cast<std::size_t>(nFill)] = rxChunk[static_cast<std::size_t>(i)];
        if (nFill < kLastRxIndex) {
            ++nFill;
        }
    }
    nShown = nFill;
    return true;
}

void ResetReceiveLog(int& nFill, int& nShown) {
    nFill = 0;
    nShown = 0;
}
