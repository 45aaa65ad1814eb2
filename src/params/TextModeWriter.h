#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes a file as a text-mode stream does: every LF becomes CR LF and nothing else changes.
// The first failed write fails every later call too, so one look at the result of `Flush`
// tells whether all of the content reached the file.
class TextModeWriter {
public:
    // Hands bytes on to the file; true when all of them were written.
    using WriteBytes = std::function<bool(std::string_view bytes)>;

    explicit TextModeWriter(WriteBytes writeBytes);

    TextModeWriter(const TextModeWriter&) = delete;
    TextModeWriter& operator=(const TextModeWriter&) = delete;

    // Writes `text`, every byte as it stands but LF as CR LF. False once any write has failed.
    bool WriteString(std::string_view text);

    // Hands what is still held back to the file. False if any write has failed.
    bool Flush();

private:
    static constexpr std::size_t kHeldBackLimit = 4096;

    WriteBytes m_writeBytes;
    std::string m_pending;
    bool m_failed = false;
};
