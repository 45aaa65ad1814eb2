#include "params/DiskFile.h"
#include "terminal/CaptureFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Narrowed by the umask, as for any file a program creates.
constexpr mode_t kNewFileMode = 0666;

// Looked at before opening: opening a port or a pipe may wait, or do something of its own.
// A folder is left to the open, which gives the system's text for it.
bool IsDeviceOrPipe(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

}  // namespace

CaptureFile::~CaptureFile() {
    Close();
}

bool CaptureFile::Open(const std::string& path) {
    Close();
    m_path = path;
    if (IsDeviceOrPipe(path)) {
        m_errorText = kNoDiskFileText;
        return false;
    }
    const int fd =
        open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
             kNewFileMode);
    if (fd < 0) {
        return Fail();
    }
    // Whatever took the name's place since it was looked at.
    if (!IsDiskFile(fd)) {
        close(fd);
        m_errorText = kNoDiskFileText;
        return false;
    }
    m_file = fd;
    return true;
}

bool CaptureFile::Write(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(static_cast<int>(m_file), bytes, count);
        if (written > 0) {
            bytes += written;
            count -= static_cast<std::size_t>(written);
        } else if (written == 0) {
            errno = EIO;  // no progress, and no reason given
            return Fail();
        } else if (errno != EINTR) {
            return Fail();
        }
    }
    return true;
}

void CaptureFile::Close() {
    if (m_file != kNoFile) {
        close(static_cast<int>(m_file));
        m_file = kNoFile;
    }
}

bool CaptureFile::Fail() {
    m_errorText = std::strerror(errno);
    return false;
}
