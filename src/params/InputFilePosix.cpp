#include "params/DiskFile.h"
#include "params/InputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& path) {
    Close();
    // Non-blocking, so that a pipe put in the file's place cannot hang the window; it is then
    // turned away as no regular file, as are folders and devices.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    if (!IsDiskFile(fd)) {
        close(fd);
        return false;
    }
    m_file = fd;
    return true;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    if (m_file == kNoFile) {
        return 0;
    }
    ssize_t count = 0;
    do {
        count = read(static_cast<int>(m_file), buffer, size);
    } while (count < 0 && errno == EINTR);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

void InputFile::Close() {
    if (m_file != kNoFile) {
        close(static_cast<int>(m_file));
        m_file = kNoFile;
    }
}
