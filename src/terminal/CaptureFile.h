#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file that keeps every byte a port receives: each write goes to its end, and what it held
// before stays. Open from Open until Close or until the object goes.
class CaptureFile {
public:
    // Why a device or a pipe is turned away; the system has no text of its own for that.
    static constexpr char kNoDiskFileText[] = "This is a device or a pipe, not a file.";

    CaptureFile() = default;
    ~CaptureFile();

    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    // Opens `path` (as the program names files) to add to its end, making it when it is
    // missing. False, with the reason in ErrorText(), when it cannot: the system's text for a
    // folder, a name that may not be written or a missing folder; kNoDiskFileText for a device
    // or a pipe, which is turned away as the parameters file turns it away.
    bool Open(const std::string& path);

    // Adds the bytes at the file's end in one write. False, with the system's text in
    // ErrorText(), when they could not all be written; what was written stays.
    bool Write(const std::uint8_t* bytes, std::size_t count);

    void Close();
    bool IsOpen() const { return m_file != kNoFile; }
    // The path last given to Open.
    const std::string& Path() const { return m_path; }
    const std::string& ErrorText() const { return m_errorText; }

private:
    static constexpr std::intptr_t kNoFile = -1;

    // Takes the system's text for its last error; returns false.
    bool Fail();

    std::intptr_t m_file = kNoFile;  // the system's descriptor or handle
    std::string m_path;
    std::string m_errorText;
};
