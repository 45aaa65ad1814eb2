#pragma once

#include <array>
#include <cstddef>
#include <string>

// Reads a file as a text-mode stream does: CR LF becomes LF, a CR not followed by LF passes
// through unchanged, and a byte 0x1A ends the file. A read error is taken for the end of the
// file, so a file that cannot be read to its end still gives the lines before the fault.
class TextModeReader {
public:
    // The most characters of a line that are kept: the rest of a longer line is read and
    // dropped, so a damaged file costs neither memory nor time. The longest send line that
    // can be sent, 1020 bytes in Dec, is 4079 characters; this leaves ample room.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;

    // Reads from the open descriptor `fd`, which stays the caller's to close.
    explicit TextModeReader(int fd);

    TextModeReader(const TextModeReader&) = delete;
    TextModeReader& operator=(const TextModeReader&) = delete;

    // Replaces `line` with the next line, its LF removed, at most its first kMaxLineLength
    // characters. True when a line was read, false at the end of the file (then `line` is
    // empty). A last line without an LF still counts.
    bool ReadString(std::string& line);

private:
    static constexpr int kEnd = -1;

    int NextCharacter();
    // Reads on past the rest of an over-long line and its line end.
    void SkipRestOfLine();
    int NextByte();
    int PeekByte();
    bool Fill();

    int m_fd;
    std::array<char, 4096> m_buffer{};
    std::size_t m_position = 0;
    std::size_t m_size = 0;
    bool m_ended = false;
};
