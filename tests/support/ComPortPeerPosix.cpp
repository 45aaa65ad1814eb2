#include "support/ComPortPeer.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"

#include <termios.h>

class ComPortPeer::Impl {
public:
    explicit Impl(int portNumber) : pty(home, portNumber) {}

    ScopedConfigHome home;
    PtyPort pty;
};

ComPortPeer::ComPortPeer(int portNumber) : m_impl(std::make_unique<Impl>(portNumber)) {}

ComPortPeer::~ComPortPeer() = default;

bool ComPortPeer::Give(const std::vector<std::uint8_t>& bytes) {
    return m_impl->pty.WriteToMaster(bytes);
}

bool ComPortPeer::Give(std::string_view text) {
    return m_impl->pty.WriteToMaster(text);
}

std::vector<std::uint8_t> ComPortPeer::Take(std::size_t count) {
    return m_impl->pty.ReadFromMaster(count);
}

std::uint32_t ComPortPeer::BaudRate() const {
    return m_impl->pty.MasterBaudRate();
}

int ComPortPeer::StopBits() const {
    return (m_impl->pty.MasterTermios().c_cflag & CSTOPB) != 0 ? 2 : 1;
}
