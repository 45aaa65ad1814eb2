#include "params/TextModeWriter.h"

#include <utility>

TextModeWriter::TextModeWriter(WriteBytes writeBytes) : m_writeBytes(std::move(writeBytes)) {}

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
    if (!m_failed && !m_pending.empty() && !m_writeBytes(m_pending)) {
        m_failed = true;
    }
    m_pending.clear();
    return !m_failed;
}
