#include "params/TextModeWriter.h"

#include <cerrno>
#include <unistd.h>

TextModeWriter::TextModeWriter(int fd) : m_fd(fd) {}

bool TextModeWriter::WriteString(std::string_view text) {
    if (m_failed) {
        return false;
    }
    for (const char c : text) {
        if (c == '\n') {
            m_pending.push_back('\r');
        }
        m_pending.push_back(c);
        if (m_pending.size() >= kHeldBackLimit && !Flush()) {
            return false;
        }
    }
    return !m_failed;
}

bool TextModeWriter::Flush() {
    std::size_t written = 0;
    while (!m_failed && written < m_pending.size()) {
        const ssize_t count = write(m_fd, m_pending.data() + written, m_pending.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
        } else if (count == 0 || errno != EINTR) {
            m_failed = true;
        }
    }
    m_pending.clear();
    return !m_failed;
}
