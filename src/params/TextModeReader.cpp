#include "params/TextModeReader.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

constexpr int kCarriageReturn = 0x0D;
constexpr int kLineFeed = 0x0A;
constexpr int kEndOfFileMark = 0x1A;

}  // namespace

TextModeReader::TextModeReader(ReadBytes readBytes) : m_readBytes(std::move(readBytes)) {}

bool TextModeReader::ReadString(std::string& line) {
    line.clear();
    bool anyRead = false;
    try {
        for (;;) {
            const int c = NextCharacter();
            if (c == kEnd) {
                return anyRead;
            }
            anyRead = true;
            if (c == kLineFeed) {
                return true;
            }
            line.push_back(static_cast<char>(c));
        }
    } catch (const std::bad_alloc&) {
        // A line too long to hold ends the file there, like any other fault while reading.
        m_ended = true;
        line.clear();
        return false;
    }
}

int TextModeReader::NextCharacter() {
    const int c = NextByte();
    if (c == kEndOfFileMark) {
        m_ended = true;
        return kEnd;
    }
    if (c == kCarriageReturn && PeekByte() == kLineFeed) {
        return NextByte();
    }
    return c;
}

int TextModeReader::NextByte() {
    const int c = PeekByte();
    if (c != kEnd) {
        ++m_position;
    }
    return c;
}

int TextModeReader::PeekByte() {
    if (m_ended || (m_position == m_size && !Fill())) {
        return kEnd;
    }
    return static_cast<unsigned char>(m_buffer[m_position]);
}

bool TextModeReader::Fill() {
    const std::size_t count = m_readBytes(m_buffer.data(), m_buffer.size());
    if (count == 0) {
        m_ended = true;
        return false;
    }
    m_position = 0;
    m_size = std::min(count, m_buffer.size());
    return true;
}
