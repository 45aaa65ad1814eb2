#include "params/ReplacementFile.h"
#include "params/TemporaryName.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 100;
// Narrowed by the umask, as for any file a program creates.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text of the symbolic link at `path`; empty when it cannot be read.
std::string ReadLink(const std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t count = readlink(path.c_str(), buffer.data(), buffer.size());
        if (count < 0) {
            return {};
        }
        if (static_cast<std::size_t>(count) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(count));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The file that `path` finally names once symbolic links are followed. It need not exist, so
// that a link to a file not yet written gets that file. Empty for a loop or an unreadable link.
std::string FinalTarget(std::string path) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        const std::string link = ReadLink(path);
        if (link.empty()) {
            return {};
        }
        path = link.front() == '/' ? link : FolderOf(path) + '/' + link;
    }
    return {};
}

// Only a privileged process may give a file away, and only a member may give it to a group;
// where neither is allowed the new content stays the saver's own.
bool HandOver(int fd, uid_t owner, gid_t group) {
    return fchown(fd, owner, group) == 0 || fchown(fd, static_cast<uid_t>(-1), group) == 0;
}

// Gives the new content the old file's permissions and, where allowed, its owner. Nothing to
// do when there is no old file.
bool MatchOldFile(int fd, const std::string& target) {
    struct stat old {};
    if (stat(target.c_str(), &old) != 0) {
        return errno == ENOENT;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        return false;
    }
    if (status.st_uid != old.st_uid || status.st_gid != old.st_gid) {
        HandOver(fd, old.st_uid, old.st_gid);
    }
    // After the change of owner, which clears the set-id bits.
    return fchmod(fd, old.st_mode & kPermissionBits) == 0;
}

// The rename is already made when this runs; it only hurries the folder's entry to disk.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Open(const std::string& path) {
    Discard();
    m_target = path.empty() ? std::string() : FinalTarget(path);
    if (m_target.empty()) {
        return false;
    }
    struct stat status {};
    if (stat(m_target.c_str(), &status) == 0) {
        // The rename would replace even a file that may not be written, so ask first.
        if (!S_ISREG(status.st_mode) ||
            faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0) {
            return false;
        }
    } else if (errno != ENOENT) {
        return false;
    }

    const std::string folder = FolderOf(m_target);
    const std::string name = NameOf(m_target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = folder + '/' + TemporaryNameFor(name);
        const int fd =
            open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0) {
            m_file = fd;
            m_temporaryPath = candidate;
            return true;
        }
        if (errno != EEXIST && errno != EINTR) {
            return false;
        }
    }
    return false;
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (m_file == kNoFile) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t count = write(static_cast<int>(m_file), bytes.data(), bytes.size());
        if (count > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool ReplacementFile::Commit(const BeforeReplace& beforeReplace) {
    if (m_file == kNoFile) {
        return false;
    }
    const int fd = static_cast<int>(m_file);
    bool ready = MatchOldFile(fd, m_target) && fsync(fd) == 0;
    // A failed close may mean the content never reached the file, so it fails the save too.
    ready = close(fd) == 0 && ready;
    m_file = kNoFile;
    if (ready && beforeReplace) {
        ready = beforeReplace();
    }
    if (!ready || rename(m_temporaryPath.c_str(), m_target.c_str()) != 0) {
        Discard();
        return false;
    }
    m_temporaryPath.clear();
    SyncFolder(FolderOf(m_target));
    return true;
}

void ReplacementFile::Discard() {
    if (m_file != kNoFile) {
        close(static_cast<int>(m_file));
        m_file = kNoFile;
    }
    if (!m_temporaryPath.empty()) {
        unlink(m_temporaryPath.c_str());
        m_temporaryPath.clear();
    }
}
