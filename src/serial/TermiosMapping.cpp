#include "serial/TermiosMapping.h"

#include <cerrno>
#include <limits>

namespace {

struct StandardSpeed {
    std::uint32_t rate;
    speed_t speed;
};

constexpr StandardSpeed kStandardSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr std::uint32_t kHighestBaudRate = std::numeric_limits<std::int32_t>::max();
constexpr std::uint8_t kFewestDataBits = 5;
constexpr std::uint8_t kMostDataBits = 8;

tcflag_t CharacterSizeFlag(std::uint8_t byteSize) {
    switch (byteSize) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

std::uint8_t ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

bool WantsHardwareFlow(const SerialLineState& state) {
    return (state.Flags & kFlagOutxCtsFlow) != 0 || RtsControl(state) == kRtsControlHandshake;
}

bool IsValid(const SerialLineState& state) {
    if (state.BaudRate == 0 || state.BaudRate > kHighestBaudRate) {
        return false;
    }
    if (state.ByteSize < kFewestDataBits || state.ByteSize > kMostDataBits) {
        return false;
    }
    if (state.Parity > kSpaceParity) {
        return false;
    }
    switch (state.StopBits) {
        case kOneStopBit:
            break;
        case kOne5StopBits:
            if (state.ByteSize != kFewestDataBits) {
                return false;
            }
            break;
        case kTwoStopBits:
            // With 5 data bits the stop-bit flag means one and a half.
            if (state.ByteSize == kFewestDataBits) {
                return false;
            }
            break;
        default:
            return false;
    }
    const bool softwareFlow = (state.Flags & (kFlagOutX | kFlagInX)) != 0;
    return !(softwareFlow && state.XonChar == state.XoffChar);
}

}  // namespace

speed_t StandardSpeedFor(std::uint32_t baudRate) {
    for (const StandardSpeed& entry : kStandardSpeeds) {
        if (entry.rate == baudRate) {
            return entry.speed;
        }
    }
    return B0;
}

int LineStateToTermios(const SerialLineState& state, const termios& current, TermiosLine& line) {
    if (!IsValid(state)) {
        return EINVAL;
    }

    termios attributes = current;
    cfmakeraw(&attributes);
    attributes.c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY);
    attributes.c_lflag &= ~(ECHOE | ECHOK | ECHOCTL | ECHOKE | ECHOPRT);
    attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    attributes.c_cflag |= CLOCAL | CREAD | CharacterSizeFlag(state.ByteSize);

    // CMSPAR must be cleared for none, odd and even: left over, it turns even into space.
    switch (state.Parity) {
        case kOddParity:
            attributes.c_cflag |= PARENB | PARODD;
            break;
        case kEvenParity:
            attributes.c_cflag |= PARENB;
            break;
        case kMarkParity:
            attributes.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case kSpaceParity:
            attributes.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            break;
    }
    if (state.StopBits != kOneStopBit) {
        attributes.c_cflag |= CSTOPB;
    }

    if (WantsHardwareFlow(state)) {
        attributes.c_cflag |= CRTSCTS;
    }
    if ((state.Flags & kFlagOutX) != 0) {
        attributes.c_iflag |= IXON;
    }
    if ((state.Flags & kFlagInX) != 0) {
        attributes.c_iflag |= IXOFF;
    }
    attributes.c_cc[VSTART] = static_cast<cc_t>(state.XonChar);
    attributes.c_cc[VSTOP] = static_cast<cc_t>(state.XoffChar);
    attributes.c_cc[VMIN] = 1;
    attributes.c_cc[VTIME] = 0;

    const speed_t speed = StandardSpeedFor(state.BaudRate);
    if (speed != B0) {
        cfsetspeed(&attributes, speed);
    }
    line.attributes = attributes;
    line.baudRate = state.BaudRate;
    line.customBaudRate = speed == B0;
    return 0;
}

void MergeTermiosIntoLineState(const termios& attributes, std::uint32_t baudRate,
                               SerialLineState& state) {
    if (baudRate != 0) {
        state.BaudRate = baudRate;
    }
    state.ByteSize = ByteSizeOf(attributes.c_cflag);

    const tcflag_t cflag = attributes.c_cflag;
    if ((cflag & PARENB) == 0) {
        state.Parity = kNoParity;
    } else if ((cflag & CMSPAR) != 0) {
        state.Parity = (cflag & PARODD) != 0 ? kMarkParity : kSpaceParity;
    } else {
        state.Parity = (cflag & PARODD) != 0 ? kOddParity : kEvenParity;
    }

    if ((cflag & CSTOPB) == 0) {
        state.StopBits = kOneStopBit;
    } else {
        state.StopBits = state.ByteSize == kFewestDataBits ? kOne5StopBits : kTwoStopBits;
    }

    // The line has one switch for both CTS/RTS directions; the record keeps whichever of
    // its two flags it had as long as the switch agrees.
    const bool hardwareFlow = (cflag & CRTSCTS) != 0;
    if (hardwareFlow && !WantsHardwareFlow(state)) {
        state.Flags |= kFlagOutxCtsFlow;
        SetRtsControl(state, kRtsControlHandshake);
    } else if (!hardwareFlow && WantsHardwareFlow(state)) {
        state.Flags &= ~kFlagOutxCtsFlow;
        SetRtsControl(state, kRtsControlEnable);
    }

    state.Flags &= ~(kFlagOutX | kFlagInX);
    if ((attributes.c_iflag & IXON) != 0) {
        state.Flags |= kFlagOutX;
    }
    if ((attributes.c_iflag & IXOFF) != 0) {
        state.Flags |= kFlagInX;
    }
    state.XonChar = static_cast<char>(attributes.c_cc[VSTART]);
    state.XoffChar = static_cast<char>(attributes.c_cc[VSTOP]);
}
