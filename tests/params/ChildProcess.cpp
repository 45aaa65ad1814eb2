#include "ChildProcess.h"

#include <cerrno>
#include <grp.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool DropPrivileges() {
    if (geteuid() != 0) {
        return true;
    }
    return setgroups(0, nullptr) == 0 && setgid(kUnprivilegedId) == 0 &&
           setuid(kUnprivilegedId) == 0;
}

int RunChild(const std::function<int()>& body, bool unprivileged) {
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        if (unprivileged && !DropPrivileges()) {
            _exit(kChildSetupFailed);
        }
        // _exit: the test program's exit handlers belong to the parent.
        _exit(body());
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kChildDiedAbnormally;
}

}  // namespace

int RunInChildProcess(const std::function<int()>& body) {
    return RunChild(body, false);
}

int RunAsUnprivilegedUser(const std::function<int()>& body) {
    return RunChild(body, true);
}

void GiveToUnprivilegedUser(const std::string& path) {
    if (geteuid() == 0 && lchown(path.c_str(), kUnprivilegedId, kUnprivilegedId) != 0) {
        throw std::runtime_error("cannot hand " + path + " to the unprivileged user");
    }
}
