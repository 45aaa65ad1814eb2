#include "support/ComPortPeer.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr char kRequest[] = "@pty ";
constexpr char kPortVariable[] = "QUENLARK_PTY_PORT";
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr int kHexBase = 16;

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kHexDigits[byte / kHexBase];
        hex += kHexDigits[byte % kHexBase];
    }
    return hex;
}

}  // namespace

// Requests and answers of wine_pty_peer.py, one line each.
class ComPortPeer::Impl {
public:
    std::string Ask(const std::string& request) const {
        // Whatever the test printed goes out first, so the request stands on a line of its own.
        std::cout << std::flush << kRequest << request << std::endl;
        std::string answer;
        if (!std::getline(std::cin, answer)) {
            throw std::runtime_error("no answer from the pseudo-terminal's side to: " + request);
        }
        return answer;
    }
};

ComPortPeer::ComPortPeer(int portNumber) : m_impl(std::make_unique<Impl>()) {
    const char* port = std::getenv(kPortVariable);
    if (port == nullptr || std::atoi(port) != portNumber) {
        throw std::runtime_error("COM" + std::to_string(portNumber) +
                                 " needs wine_pty_peer.py to run the program with that port");
    }
    m_impl->Ask("renew");
}

ComPortPeer::~ComPortPeer() = default;

bool ComPortPeer::Give(const std::vector<std::uint8_t>& bytes) {
    return m_impl->Ask("give " + Hex(bytes)) == "ok";
}

bool ComPortPeer::Give(std::string_view text) {
    return Give(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> ComPortPeer::Take(std::size_t count) {
    const std::string hex = m_impl->Ask("take " + std::to_string(count));
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, kHexBase)));
    }
    return bytes;
}

std::uint32_t ComPortPeer::BaudRate() const {
    std::istringstream answer(m_impl->Ask("attributes"));
    std::uint32_t baudRate = 0;
    answer >> baudRate;
    return baudRate;
}

int ComPortPeer::StopBits() const {
    std::istringstream answer(m_impl->Ask("attributes"));
    std::uint32_t baudRate = 0;
    int stopBits = 0;
    answer >> baudRate >> stopBits;
    return stopBits;
}
