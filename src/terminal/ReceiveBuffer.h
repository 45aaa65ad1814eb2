#pragma once

#include <cstdint>
#include <span>

// The most bytes one poll of the channel takes, and the most the log holds: a tick that
// would bring the log to this many bytes or more starts a new log instead.
constexpr int kRxPollBytes = 2048;
// Size of the window's receive buffer and read chunk; only their first kRxPollBytes are used.
constexpr int kRxBufferBytes = 4096;

using RxBuffer = std::span<std::uint8_t, kRxBufferBytes>;
using RxChunk = std::span<const std::uint8_t, kRxBufferBytes>;

// The buffer side of one tick of the terminal window, after its poll put `n` bytes at the
// start of `rxChunk`. Appends them to the `nFill` bytes held in `rxBuffer`, or, when the
// bytes held and the new ones together come to kRxPollBytes or more, drops the bytes held
// and keeps only the new ones. Sets `nShown` to the number of bytes now held, equal to
// `nFill`. Returns whether the log view must be rendered: when bytes arrived or `redraw`
// (a log format change) is set. A tick with only a format change keeps the bytes held, even
// a full log. Returns false and changes nothing when no bytes arrived and `redraw` is unset.
// A fill level outside 0..kRxPollBytes cannot describe bytes held and counts as an empty log.
bool UpdateReceiveLog(RxBuffer rxBuffer, int& nFill, int& nShown, bool redraw, RxChunk rxChunk,
                      int n);

// Start-up and "Clear": the log holds nothing.
void ResetReceiveLog(int& nFill, int& nShown);
