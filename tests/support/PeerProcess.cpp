#include "support/PeerProcess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// Room for a peer's reports while the test is busy elsewhere, so the peer never blocks on a
// full pipe.
constexpr int kPipeCapacity = 1 << 20;
// How often to look for the end of a process when the kernel cannot announce it.
constexpr std::chrono::milliseconds kExitPollInterval{10};
constexpr int kExecFailedStatus = 127;

[[noreturn]] void ThrowSystemError(int code, const std::string& what) {
    throw std::system_error(code, std::generic_category(), what);
}

void CloseIfOpen(int& fd) {
    if (fd != -1) {
        ::close(fd);
        fd = -1;
    }
}

// The child's standard descriptors are placed with dup2 in a fixed order; a source that is
// itself 0, 1 or 2 (the test program may run with standard input closed) could be
// overwritten before it is used.
int AboveStandardDescriptors(int fd) {
    if (fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int error = errno;
    ::close(fd);
    if (moved == -1) {
        ThrowSystemError(error, "fcntl F_DUPFD_CLOEXEC");
    }
    return moved;
}

// A descriptor owned by the code that opened it, closed when it goes.
struct Descriptor {
    int fd = -1;

    Descriptor() = default;
    explicit Descriptor(int opened) : fd(AboveStandardDescriptors(opened)) {}
    ~Descriptor() { CloseIfOpen(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

struct Pipe {
    Descriptor read;
    Descriptor write;

    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == -1) {
            ThrowSystemError(errno, "pipe2");
        }
        read.fd = fds[0];
        write.fd = fds[1];
        read.fd = AboveStandardDescriptors(std::exchange(read.fd, -1));
        write.fd = AboveStandardDescriptors(std::exchange(write.fd, -1));
    }
};

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Places `from` on `to` in the child, where only async-signal-safe calls are allowed.
bool PlaceDescriptor(int from, int to) {
    return ::dup2(from, to) == to;
}

// The child's part up to exec: only async-signal-safe calls, since the test program may
// have other threads (a window system's) whose locks a fork copies as they are.
[[noreturn]] void RunChild(pid_t parent, int input, int output, int error, int execReport,
                           const char* path, char* const* argv) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        ::_exit(kExecFailedStatus);
    }
    // The test program may block or ignore signals; the peer must not inherit that.
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int number : {SIGTERM, SIGINT, SIGPIPE, SIGHUP}) {
        ::signal(number, SIG_DFL);
    }
    if (PlaceDescriptor(input, STDIN_FILENO) && PlaceDescriptor(output, STDOUT_FILENO) &&
        PlaceDescriptor(error, STDERR_FILENO)) {
        ::execv(path, argv);
    }
    const int code = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(execReport, &code, sizeof(code));
    ::_exit(kExecFailedStatus);
}

// Appends everything `fd` holds to `text`; closes it at end of file.
void Drain(int& fd, std::string& text) {
    std::array<char, 4096> chunk{};
    while (fd != -1) {
        const ssize_t count = ::read(fd, chunk.data(), chunk.size());
        if (count > 0) {
            text.append(chunk.data(), static_cast<std::size_t>(count));
        } else if (count == -1 && errno == EINTR) {
            continue;
        } else if (count == -1 && errno == EAGAIN) {
            return;
        } else {
            CloseIfOpen(fd);
        }
    }
}

}  // namespace

PeerProcess::PeerProcess(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string path = program.find('/') == std::string::npos ? FindOnPath(program) : program;
    if (path.empty() || !IsExecutableFile(path)) {
        ThrowSystemError(ENOENT, "cannot start " + program);
    }

    std::vector<std::string> words{path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nullFd == -1) {
        ThrowSystemError(errno, "open /dev/null");
    }
    const Descriptor input(nullFd);
    Pipe output;
    Pipe error;
    Pipe execReport;
    ::fcntl(output.read.fd, F_SETPIPE_SZ, kPipeCapacity);
    ::fcntl(error.read.fd, F_SETPIPE_SZ, kPipeCapacity);

    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == -1) {
        ThrowSystemError(errno, "fork");
    }
    if (m_pid == 0) {
        RunChild(parent, input.fd, output.write.fd, error.write.fd, execReport.write.fd,
                 path.c_str(), argv.data());
    }

    CloseIfOpen(execReport.write.fd);
    int code = 0;
    ssize_t count = 0;
    do {
        count = ::read(execReport.read.fd, &code, sizeof(code));
    } while (count == -1 && errno == EINTR);
    if (count > 0) {
        int status = 0;
        while (::waitpid(m_pid, &status, 0) == -1 && errno == EINTR) {
        }
        m_pid = -1;
        ThrowSystemError(code, "cannot start " + path);
    }

    std::swap(m_outputFd, output.read.fd);
    std::swap(m_errorFd, error.read.fd);
    ::fcntl(m_outputFd, F_SETFL, O_NONBLOCK);
    ::fcntl(m_errorFd, F_SETFL, O_NONBLOCK);
    m_exitFd = static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0));
    if (m_exitFd != -1) {
        ::fcntl(m_exitFd, F_SETFD, FD_CLOEXEC);
    }
}

PeerProcess::~PeerProcess() {
    Stop();
}

void PeerProcess::CheckEnded(bool wait) {
    if (m_ended || m_pid == -1) {
        return;
    }
    int status = 0;
    pid_t result = 0;
    do {
        result = ::waitpid(m_pid, &status, wait ? 0 : WNOHANG);
    } while (result == -1 && errno == EINTR);
    if (result == m_pid || (result == -1 && errno == ECHILD)) {
        m_ended = true;
        m_waitStatus = status;
        CloseIfOpen(m_exitFd);
    }
}

void PeerProcess::ReadAvailable() {
    // Ended first, output second: once it has ended, all it wrote is in the pipes.
    CheckEnded(false);
    Drain(m_outputFd, m_output);
    Drain(m_errorFd, m_errorOutput);
}

bool PeerProcess::WaitUntil(const std::function<bool()>& done,
                            std::chrono::milliseconds hangGuard) {
    const Clock::time_point deadline = Clock::now() + hangGuard;
    for (;;) {
        ReadAvailable();
        if (done()) {
            return true;
        }
        if (m_ended) {
            return false;
        }
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0) {
            return false;
        }
        std::array<pollfd, 3> watched{pollfd{m_outputFd, POLLIN, 0}, pollfd{m_errorFd, POLLIN, 0},
                                      pollfd{m_exitFd, POLLIN, 0}};
        const long long interval = m_exitFd == -1 ? kExitPollInterval.count() : 1000;
        ::poll(watched.data(), watched.size(),
               static_cast<int>(std::min<long long>(remaining, interval)));
    }
}

std::string PeerProcess::Describe() const {
    if (!m_ended) {
        return "running";
    }
    if (WIFEXITED(m_waitStatus)) {
        return "exited with status " + std::to_string(WEXITSTATUS(m_waitStatus));
    }
    if (WIFSIGNALED(m_waitStatus)) {
        const int number = WTERMSIG(m_waitStatus);
        return "ended by signal " + std::to_string(number) + " (" + ::strsignal(number) + ")";
    }
    return "ended with wait status " + std::to_string(m_waitStatus);
}

void PeerProcess::Stop(std::chrono::milliseconds guard) {
    if (m_pid == -1) {
        return;
    }
    ReadAvailable();
    if (!m_ended) {
        ::kill(m_pid, SIGTERM);
        if (!WaitUntil([this] { return m_ended; }, guard)) {
            ::kill(m_pid, SIGKILL);
            CheckEnded(true);
        }
    }
    ReadAvailable();
    CloseAll();
}

void PeerProcess::CloseAll() {
    CloseIfOpen(m_outputFd);
    CloseIfOpen(m_errorFd);
    CloseIfOpen(m_exitFd);
}

std::string PeerProcess::FindOnPath(const std::string& name) {
    const char* variable = std::getenv("PATH");
    const std::string searched = variable != nullptr ? variable : "/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = searched.find(':', start);
        std::string folder = searched.substr(start, end - start);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}
