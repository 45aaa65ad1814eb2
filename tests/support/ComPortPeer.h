#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The device's end of the COM port a test's window opens: a pseudo-terminal whose other end
// the window's channel opens as COM<n>, fresh for each object. On Linux the test holds it
// (PtyPort, linked in a private config home this object makes the process's); under Wine the
// Linux side that runs the test program holds it (wine_pty_peer.py, which links it in the
// prefix) and this object asks that side over the program's standard output and input. Each
// platform implements it. Waits are bounded by a hang guard only.
class ComPortPeer {
public:
    // Throws std::runtime_error when no pseudo-terminal can stand for this port.
    explicit ComPortPeer(int portNumber);
    ~ComPortPeer();
    ComPortPeer(const ComPortPeer&) = delete;
    ComPortPeer& operator=(const ComPortPeer&) = delete;

    // Sends bytes to the channel; false if they could not all be written.
    bool Give(const std::vector<std::uint8_t>& bytes);
    bool Give(std::string_view text);
    // Waits until `count` bytes have come from the channel or the guard has run out, and
    // returns what came.
    std::vector<std::uint8_t> Take(std::size_t count);

    // The line's output speed and stop bits as the channel set them. (A pseudo-terminal
    // keeps 8 data bits and no parity, so those cannot be seen here.)
    std::uint32_t BaudRate() const;
    int StopBits() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
