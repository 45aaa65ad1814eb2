#pragma once

#include "codec/LineFormat.h"

#include <optional>
#include <string>
#include <string_view>

// The most bytes of a send line that one Send writes; a Text line gets CR LF on top.
constexpr int kMaxSendBytes = 1020;

// What one Send of a line writes, in one write: the line's first kMaxSendBytes bytes, then
// CR LF when `format` is Text. An empty Dec or Hex line gives no bytes, an empty Text line
// CR LF alone.
ByteArray SendFrame(const ByteArray& lineBytes, int format);

// Writes the Modbus checksum of all bytes but the last two into the last two, low byte
// first: the user ends a frame with two placeholder bytes for it. A line of fewer than two
// bytes has no room for it and stays unchanged; returns whether the checksum was written.
bool WriteModbusChecksum(ByteArray& lineBytes);

// The text a send line's edit field shows for `lineBytes` in `format`: the canonical
// rendering, in Text only up to the first zero byte since the field holds a zero-terminated
// string.
std::string SendLineText(const ByteArray& lineBytes, int format);

// The core of a format change (and of Send, after the window has set `nLineFormat` to -1):
// parses `text`, the edit field's text, into `lineBytes` in the remembered format
// `nLineFormat` (the selector's entry when negative), sets `nLineFormat` to `selectorEntry`
// (the selector's current entry, -1 when none is selected) and returns the text the edit
// field is to show. With no format selected there is nothing to show the line in: returns
// nothing, and the edit field keeps the user's text.
std::optional<std::string> ReparseSendLine(std::string_view text, int selectorEntry,
                                           ByteArray& lineBytes, int& nLineFormat);

// The core of "Mb": parses `text` like ReparseSendLine, writes the Modbus checksum into the
// line's last two bytes, sets `nLineFormat` to `selectorEntry` and returns the text the edit
// field is to show. When the line has fewer than two bytes, returns nothing and leaves
// `nLineFormat` as it was: the edit field is to stay as it is; so it does when no format is
// selected.
std::optional<std::string> ChecksumSendLine(std::string_view text, int selectorEntry,
                                            ByteArray& lineBytes, int& nLineFormat);
