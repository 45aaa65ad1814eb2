#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A regular file open for reading only, from `Open` until the object goes.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();

    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` without waiting for anything. False when it is missing or may not be read,
    // or is no regular file: a folder, a pipe or a device is turned away.
    bool Open(const std::string& path);

    // Puts up to `size` of the file's next bytes into `buffer` and returns their count: 0 at
    // the end of the file, on a failed read, and when nothing is open.
    std::size_t Read(char* buffer, std::size_t size);

private:
    static constexpr std::intptr_t kNoFile = -1;

    void Close();

    std::intptr_t m_file = kNoFile;  // the system's descriptor or handle
};
