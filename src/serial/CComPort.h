#pragma once

#include "serial/SerialDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The serial port channel: owns at most one open COM port, named by its number, gives it a
// fixed baseline line state and the parameters of a port settings string, and offers polled
// reads of bounded duration, writes and a purge. Every failure of a platform call that it
// examines is handed at once to its owner's reporter, which shows it in the "Error" box. Operations
// report success as 1 and failure as 0, byte counts as counts; all of them block the calling
// thread.
class CComPort {
public:
    // The baseline line state: flags = (flags as read AND kBaselineKeptFlags) OR
    // kBaselineSetFlags, that is binary, parity checking on, DTR and RTS enabled, transmit
    // continues on XOFF, and no handshake, XON/XOFF, error replacement, null stripping or
    // abort on error; the 17 unnamed high bits keep the value read.
    static constexpr std::uint32_t kBaselineKeptFlags = 0xFFFF9093;
    static constexpr std::uint32_t kBaselineSetFlags = 0x1093;
    static constexpr std::uint32_t kBaselineBaudRate = 9600;
    static constexpr std::uint8_t kBaselineByteSize = 8;

    // Time-outs under which a read returns at once and a write of n bytes waits at most
    // 1000 + 10 * n ms.
    static constexpr std::uint32_t kWriteTimeoutPerByteMs = 10;
    static constexpr std::uint32_t kWriteTimeoutConstantMs = 1000;

    static constexpr std::uint32_t kPollPauseMs = 10;
    static constexpr std::uint32_t kWritePauseMs = 2;
    static constexpr int kReadStagingSize = 4096;

    // Receives the operating system's text of a failure and returns when the user has seen it.
    using ErrorReporter = std::function<void(const std::string& text)>;

    // The channel is closed until Open succeeds; it reaches the system only through `device`
    // and reports failures through `reportError`.
    CComPort(std::unique_ptr<SerialDevice> device, ErrorReporter reportError);
    // Closes the port; a refused close is reported.
    ~CComPort();

    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // Takes effect at the next Open.
    void SetPortNumber(std::uint8_t nPort);
    // Poll limit and idle-poll limit of Read, in milliseconds (stored divided by 10); take
    // effect at the next Read.
    void SetTimeouts(int nTotalMs, int nIdleMs);

    // Closes, opens "\\.\COM<port>" exclusively, sets the baseline, applies the settings,
    // the time-outs and DTR/RTS. 1 when open and fully configured. A failure after the device
    // opened leaves the channel open with what had been put into effect.
    int Open(std::string_view lpszSettings);
    // 1 when an open port was closed; 0 when none was open or the platform refused.
    int Close();
    // Polls for up to the poll limit (a 10 ms pause and one non-waiting read each) and
    // returns the bytes placed at pBuffer, at most nSize; returns at the (idle limit + 1)-th
    // empty poll after data.
    int Read(std::uint8_t* pBuffer, int nSize);
    // One read, without a pause, of what has already arrived, at most nSize bytes: the way to
    // empty a driver's queue that a poll found fuller than its buffer.
    int ReadWaiting(std::uint8_t* pBuffer, int nSize);
    // Pauses 2 ms, then sends the bytes; returns the count the platform reports written.
    int Write(const std::uint8_t* pBytes, int nCount);
    // Discards both driver queues; nonzero without doing anything when closed.
    int Purge();
    // Writes the baud rate, data bits, parity and stop bits recognised in the text; 1 when
    // the device accepted them. 0 without a report when the channel is closed.
    int ApplySettings(std::string_view lpszSettings);
    // Hands the operating system's text for the last error to the reporter.
    void ReportLastError();
    // 1 when the channel is closed, 0 when it is open.
    int IsClosed() const;

    // 1 when a read or write found the device gone (unplugged) and the channel closed itself,
    // without a report; 0 again from the next Open.
    int IsDeviceGone() const;
    // 1 when the port's number leads to a device at the moment, found without opening it.
    int IsDevicePresent();

private:
    // After a failed read or write: a device that has gone away gets its handle closed.
    void CloseIfDeviceGone();
    std::string DeviceName() const;

    std::unique_ptr<SerialDevice> m_device;
    ErrorReporter m_reportError;
    int m_nPort = 1;
    int m_nMaxPolls = 100;
    int m_nIdlePolls = 2;
    SerialHandle m_hComm = kInvalidSerialHandle;
    bool m_bDeviceGone = false;
};
