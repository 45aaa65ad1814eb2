#include "params/TextModeReader.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

namespace {

constexpr int kCarriageReturn = 0x0D;
constexpr int kLineFeed = 0x0A;
constexpr int kEndOfFileMark = 0x1A;

}  // namespace

TextModeReader::TextModeReader(int fd) : m_fd(fd) {}

bool TextModeReader::ReadString(std::string& line) {
    line.clear();
    bool anyRead = false;
    for (;;) {
        const int c = NextCharacter();
        if (c == kEnd) {
            return anyRead;
        }
        anyRead = true;
        if (c == kLineFeed) {
            return true;
        }
        if (line.size() == kMaxLineLength) {
            SkipRestOfLine();
            return true;
        }
        line.push_back(static_cast<char>(c));
    }
}

void TextModeReader::SkipRestOfLine() {
    // Dropped characters need no translation: the line ends at the next LF, whether a CR
    // stands before it or not, and the file at the next end-of-file mark.
    while (!m_ended && (m_position < m_size || Fill())) {
        const auto begin = m_buffer.begin() + static_cast<std::ptrdiff_t>(m_position);
        const auto end = m_buffer.begin() + static_cast<std::ptrdiff_t>(m_size);
        const auto stop = std::find_if(begin, end, [](char c) {
            return c == static_cast<char>(kLineFeed) || c == static_cast<char>(kEndOfFileMark);
        });
        m_position = static_cast<std::size_t>(stop - m_buffer.begin());
        if (stop != end) {
            if (*stop == static_cast<char>(kEndOfFileMark)) {
                m_ended = true;
            } else {
                ++m_position;
            }
            return;
        }
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
    ssize_t count = 0;
    do {
        count = read(m_fd, m_buffer.data(), m_buffer.size());
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        m_ended = true;
        return false;
    }
    m_position = 0;
    m_size = static_cast<std::size_t>(count);
    return true;
}
