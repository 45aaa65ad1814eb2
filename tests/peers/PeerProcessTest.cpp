#include "support/PeerProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kHangGuard{10000};

PeerProcess Shell(const std::string& script) {
    return PeerProcess("/bin/sh", {"-c", script});
}

bool HasEnded(PeerProcess& process) {
    return process.WaitUntil([&process] { return process.HasEnded(); }, kHangGuard);
}

bool Printed(PeerProcess& process, const std::string& text) {
    return process.WaitUntil(
        [&process, &text] { return process.Output().find(text) != std::string::npos; }, kHangGuard);
}

// Gone, or a zombie left to a parent that is not this test.
bool ProcessHasEnded(pid_t pid) {
    if (::kill(pid, 0) == -1 && errno == ESRCH) {
        return true;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    std::string name;
    std::string state;
    stat >> field >> name >> state;
    return state == "Z" || state == "X";
}

TEST(PeerProcess, KeepsOutputErrorOutputAndExitStatus) {
    PeerProcess process = Shell("echo out; echo err >&2; read line; echo \"[$line]\"; exit 3");
    ASSERT_TRUE(HasEnded(process));
    EXPECT_EQ(process.Output(), "out\n[]\n") << "standard input is empty";
    EXPECT_EQ(process.ErrorOutput(), "err\n");
    EXPECT_TRUE(WIFEXITED(process.WaitStatus()));
    EXPECT_EQ(WEXITSTATUS(process.WaitStatus()), 3);
    EXPECT_EQ(process.Describe(), "exited with status 3");
}

TEST(PeerProcess, WaitEndsWhenTheProcessEndsWithoutTheCondition) {
    PeerProcess process = Shell("echo partial");
    EXPECT_FALSE(process.WaitUntil([] { return false; }, kHangGuard));
    EXPECT_TRUE(process.HasEnded());
    EXPECT_EQ(process.Output(), "partial\n");
}

TEST(PeerProcess, ProgramThatCannotBeStartedThrows) {
    EXPECT_THROW(PeerProcess("quenlark-no-such-program", {}), std::system_error);
    EXPECT_THROW(PeerProcess("/nonexistent/program", {}), std::system_error);
    EXPECT_THROW(PeerProcess("/etc/hostname", {}), std::system_error) << "not executable";
}

TEST(PeerProcess, FindsProgramsOnThePath) {
    EXPECT_EQ(PeerProcess::FindOnPath("quenlark-no-such-program"), "");
    const std::string shell = PeerProcess::FindOnPath("sh");
    ASSERT_FALSE(shell.empty());
    EXPECT_EQ(::access(shell.c_str(), X_OK), 0);
}

TEST(PeerProcess, StopEndsAProcessWithSigterm) {
    PeerProcess process("sleep", {"600"});
    const pid_t pid = process.ProcessId();
    process.Stop();
    EXPECT_TRUE(WIFSIGNALED(process.WaitStatus()));
    EXPECT_EQ(WTERMSIG(process.WaitStatus()), SIGTERM) << process.Describe();
    EXPECT_TRUE(ProcessHasEnded(pid));
}

TEST(PeerProcess, StopKillsAProcessThatIgnoresSigterm) {
    PeerProcess process = Shell("trap '' TERM; echo up; exec sleep 600");
    ASSERT_TRUE(Printed(process, "up"));
    const pid_t pid = process.ProcessId();
    // The guard is what the process is given before the kill; its length changes nothing.
    process.Stop(100ms);
    EXPECT_TRUE(WIFSIGNALED(process.WaitStatus()));
    EXPECT_EQ(WTERMSIG(process.WaitStatus()), SIGKILL) << process.Describe();
    EXPECT_TRUE(ProcessHasEnded(pid));
}

TEST(PeerProcess, SignalsBlockedInTheTestProgramStayOpenToThePeer) {
    sigset_t terminate;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    sigset_t previous;
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &terminate, &previous), 0);
    PeerProcess process("sleep", {"600"});
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    process.Stop();
    EXPECT_EQ(WTERMSIG(process.WaitStatus()), SIGTERM) << process.Describe();
}

TEST(PeerProcess, PeerEndsWhenTheProgramThatStartedItDies) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t starter = ::fork();
    ASSERT_NE(starter, -1);
    if (starter == 0) {
        ::close(report[0]);
        PeerProcess* orphan = new PeerProcess("sleep", {"600"});
        const pid_t pid = orphan->ProcessId();
        [[maybe_unused]] const ssize_t written = ::write(report[1], &pid, sizeof(pid));
        ::_exit(0);  // dies without stopping its peer
    }
    ::close(report[1]);
    pid_t orphan = -1;
    const ssize_t got = ::read(report[0], &orphan, sizeof(orphan));
    ::close(report[0]);
    int status = 0;
    ::waitpid(starter, &status, 0);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof(orphan)));

    // The system ends it soon after; the guard only keeps a failure from hanging the run.
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (!ProcessHasEnded(orphan) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ProcessHasEnded(orphan));
    if (!ProcessHasEnded(orphan)) {
        ::kill(orphan, SIGKILL);
    }
}

}  // namespace
