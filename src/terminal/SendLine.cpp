#include "terminal/SendLine.h"

#include "codec/LineCodec.h"
#include "codec/ModbusCrc16.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::size_t kChecksumBytes = 2;

int RememberedOrSelected(int nLineFormat, int selectorEntry) {
    return nLineFormat < 0 ? selectorEntry : nLineFormat;
}

}  // namespace

ByteArray SendFrame(const ByteArray& lineBytes, int format) {
    const auto count = std::min(lineBytes.size(), static_cast<std::size_t>(kMaxSendBytes));
    ByteArray frame;
    frame.reserve(count + 2);
    frame.assign(lineBytes.begin(), lineBytes.begin() + static_cast<std::ptrdiff_t>(count));
    if (format == kLineFormatText) {
        frame.push_back(kCarriageReturn);
        frame.push_back(kLineFeed);
    }
    return frame;
}

bool WriteModbusChecksum(ByteArray& lineBytes) {
    if (lineBytes.size() < kChecksumBytes) {
        return false;
    }
    const std::size_t covered = lineBytes.size() - kChecksumBytes;
    const std::uint16_t crc = ModbusCrc16(lineBytes.data(), static_cast<std::uint32_t>(covered));
    lineBytes[covered] = static_cast<std::uint8_t>(crc & 0xFFu);
    lineBytes[covered + 1] = static_cast<std::uint8_t>(crc >> 8);
    return true;
}

std::string SendLineText(const ByteArray& lineBytes, int format) {
    std::string text;
    BytesToText(lineBytes, format, text);
    if (format == kLineFormatText) {
        text.resize(std::min(text.find('\0'), text.size()));
    }
    return text;
}

std::optional<std::string> ReparseSendLine(std::string_view text, int selectorEntry,
                                           ByteArray& lineBytes, int& nLineFormat) {
    TextToBytes(lineBytes, RememberedOrSelected(nLineFormat, selectorEntry), text);
    nLineFormat = selectorEntry;
    if (!IsLineFormat(selectorEntry)) {
        return std::nullopt;
    }
    return SendLineText(lineBytes, nLineFormat);
}

std::optional<std::string> ChecksumSendLine(std::string_view text, int selectorEntry,
                                            ByteArray& lineBytes, int& nLineFormat) {
    TextToBytes(lineBytes, RememberedOrSelected(nLineFormat, selectorEntry), text);
    if (!IsLineFormat(selectorEntry) || !WriteModbusChecksum(lineBytes)) {
        return std::nullopt;
    }
    nLineFormat = selectorEntry;
    return SendLineText(lineBytes, nLineFormat);
}
