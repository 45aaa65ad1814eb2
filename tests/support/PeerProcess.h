#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program a test runs beside itself as the far end of a line (a pty relay, a Modbus
// slave): started with standard input from /dev/null and its standard output and error kept
// for the test to read, and stopped again, at the latest when the object goes, so that no
// test leaves a process behind, also when it fails half-way. Should the test program die
// first, the process is sent SIGTERM by the system (the system watches the thread that
// started it, so start it from the thread that keeps it).
//
// Nothing here waits for a fixed time: waits end as soon as their condition holds, and a
// generous hang guard only keeps a broken peer from stopping the test run. Not for use from
// more than one thread.
class PeerProcess {
public:
    static constexpr std::chrono::milliseconds kStopGuard{5000};

    // Starts `program` (a path, or a name looked up on PATH when it holds no '/') with
    // `arguments`. Throws std::system_error when it cannot be found or started.
    PeerProcess(const std::string& program, const std::vector<std::string>& arguments);
    // Stop() with the default guard.
    ~PeerProcess();

    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    pid_t ProcessId() const { return m_pid; }

    // Reads what the process has written, without waiting, and notes whether it has ended.
    void ReadAvailable();
    // Reads the process's output until `done()` holds (true) or the guard runs out or the
    // process has ended without `done()` holding (false). `done` is asked after every read.
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds hangGuard);

    // Everything read from its standard output / standard error so far.
    const std::string& Output() const { return m_output; }
    const std::string& ErrorOutput() const { return m_errorOutput; }

    // As of the last read.
    bool HasEnded() const { return m_ended; }
    // Its wait status once it has ended.
    int WaitStatus() const { return m_waitStatus; }
    // "running", "exited with status 3", "ended by signal 9 (Killed)".
    std::string Describe() const;

    // Sends SIGTERM and waits up to `guard` for the process to end, then kills it; reaps it
    // and reads the rest of its output. Nothing happens once it has ended.
    void Stop(std::chrono::milliseconds guard = kStopGuard);

    // The executable `name` would start, from PATH; empty when there is none.
    static std::string FindOnPath(const std::string& name);

private:
    void CheckEnded(bool wait);
    void CloseAll();

    pid_t m_pid = -1;
    int m_outputFd = -1;
    int m_errorFd = -1;
    int m_exitFd = -1;  // a pidfd, readable once the process has ended; -1 without kernel support
    bool m_ended = false;
    int m_waitStatus = 0;
    std::string m_output;
    std::string m_errorOutput;
};
