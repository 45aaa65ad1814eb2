#include "support/PtyPeer.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr char kRequest[] = "@pty ";
constexpr char kPortVariable[] = "QUENLARK_PTY_PORT";
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr int kHexBase = 16;

}  // namespace

int PtyPeer::PortNumber() {
    const char* port = std::getenv(kPortVariable);
    return port == nullptr ? 0 : std::atoi(port);
}

void PtyPeer::Renew() {
    Ask("renew");
}

PtyPeer::Attributes PtyPeer::LineAttributes() {
    std::istringstream answer(Ask("attributes"));
    Attributes attributes;
    answer >> attributes.baudRate >> attributes.stopBits;
    return attributes;
}

std::vector<std::uint8_t> PtyPeer::Take(std::size_t count) {
    const std::string hex = Ask("take " + std::to_string(count));
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, kHexBase)));
    }
    return bytes;
}

void PtyPeer::Give(const std::vector<std::uint8_t>& bytes) {
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kHexDigits[byte / kHexBase];
        hex += kHexDigits[byte % kHexBase];
    }
    Ask("give " + hex);
}

std::string PtyPeer::Ask(const std::string& request) {
    // Whatever the test printed goes out first, so the request stands on a line of its own.
    std::fflush(stdout);
    std::cout << kRequest << request << std::endl;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        throw std::runtime_error("no answer from the pseudo-terminal's side to: " + request);
    }
    return answer;
}
