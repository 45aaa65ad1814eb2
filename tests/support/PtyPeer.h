#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// For Windows test programs under Wine: the far end of a pseudo-terminal that the Linux side
// (wine_pty_peer.py, which runs the program) holds and links as a COM port. Requests go out
// on standard output and answers come back on standard input, one line each.
class PtyPeer {
public:
    struct Attributes {
        std::uint32_t baudRate = 0;
        int stopBits = 0;
    };

    // The COM port the pseudo-terminal stands for; 0 when the program runs on its own.
    static int PortNumber();

    // Puts a new pseudo-terminal behind the port, with the attributes a fresh one has.
    void Renew();
    // The line's output speed and stop bits as the Linux side reads them.
    Attributes LineAttributes();
    // What has come from the program, waiting until there are `count` bytes or a hang guard
    // has run out.
    std::vector<std::uint8_t> Take(std::size_t count);
    // Sends bytes to the program.
    void Give(const std::vector<std::uint8_t>& bytes);

private:
    std::string Ask(const std::string& request);
};
