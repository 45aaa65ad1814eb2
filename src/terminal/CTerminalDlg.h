#pragma once

#include "codec/LineFormat.h"
#include "serial/CComPort.h"
#include "serial/SerialDevice.h"
#include "serial/SystemSerialDevice.h"
#include "terminal/CaptureFile.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"
#include "ui/TemplateDialog.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The terminal window, "Viewer": for one COM port it polls the port every 100 ms into the
// log view, keeps five send lines that convert between Text, Dec and Hex, fill in the Modbus
// checksum and send with one click, re-opens the port with typed line settings, and keeps
// the send lines in the parameters file when closed with OK. The port stays open from the
// start-up until the object is destroyed.
class CTerminalDlg : public TemplateDialog {
public:
    // Makes the platform device the window's channel talks through; the window shows the
    // channel's failures in the "Error" box.
    using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

    static constexpr unsigned kTimerId = 0;
    static constexpr unsigned kTimerPeriodMs = 100;
    // The channel's time-outs that make each Read a single poll.
    static constexpr int kPollTotalMs = 10;
    static constexpr int kPollIdleMs = 10;
    static constexpr char kDefaultSettings[] = "9600, N, 8, 1";
    // The system-menu item that starts and stops the capture of what the port receives; the
    // system keeps the lowest four bits of a command, so the About item's 0x0010 is next.
    static constexpr unsigned kIdmCaptureToFile = 0x0020;
    static constexpr char kCaptureItemText[] = "Capture to file...";
    // The timer that empties the driver between ticks while the port delivers faster than a
    // poll a tick takes; the view still changes only at the window's ticks.
    static constexpr unsigned kIntakeTimerId = 1;
    static constexpr unsigned kIntakePeriodMs = 1;
    // The most one intake takes before the window's other events get their turn.
    static constexpr int kIntakeLimitBytes = 256 * 1024;
    // The log's context-menu item that checks the Modbus CRC of the whole bytes selected, its
    // command (no control has it) and the fewest bytes a frame with a CRC has.
    static constexpr int kIdCheckModbusCrc = 2000;
    static constexpr char kCheckCrcItemText[] = "Check Modbus CRC";
    static constexpr char kCrcCorrectMessage[] = "Modbus CRC correct";
    static constexpr int kCrcCheckMinBytes = 3;

    explicit CTerminalDlg(TemplateDialog* pParent = nullptr,
                          const SerialDeviceFactory& makeDevice = MakeSystemSerialDevice);

    bool DoDataExchange(bool saveAndValidate) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnTimer(unsigned nIDEvent) override;
    void OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags) override;
    void OnSysCommand(unsigned nID, long lParam) override;

    void OnClear();
    void OnSet();
    void OnSelchangeLogFormat();
    void OnSend1();
    void OnSend2();
    void OnSend3();
    void OnSend4();
    void OnSend5();
    void OnSelchangeFormat1();
    void OnSelchangeFormat2();
    void OnSelchangeFormat3();
    void OnSelchangeFormat4();
    void OnSelchangeFormat5();
    void OnMb1();
    void OnMb2();
    void OnMb3();
    void OnMb4();
    void OnMb5();

    // The bytes of one read of the channel, at most kRxPollBytes at the start of m_rxChunk, into
    // the capture and the receive log, as one tick's poll; redraw as for UpdateReceiveLog.
    void TakeReceived(int n, bool redraw);
    // Reads what waits in the driver, kRxPollBytes at a time, each read taken as above, up to
    // kIntakeLimitBytes; returns how many bytes came.
    int TakeWaitingBytes();
    // A tick of the intake timer: it stops once the port has delivered no faster than the ticks
    // take for a tick period.
    void OnIntakeTimer();
    // The log view shows the receive log, if that changed since the view last did.
    void ShowReceiveLog();
    // After the channel lost its device: opens the port again with the settings field's text,
    // as Set does, when its number leads to a device again after having led to none.
    void FollowDevice();
    // Shows a box now, or inside a tick once the tick has returned, so that the reading goes on
    // while the box waits.
    void ShowOutsideTick(std::function<void()> showBox);

    // The parameters file into the send lines: each selector's entry, remembered format and
    // text. A file that cannot be opened leaves them as they are, after saying so.
    void LoadParameters();
    // The send lines' selector entries and texts into the parameters file.
    void SaveParameters();

    // The send-line routines, given one line's edit field, format selector, bytes and
    // remembered format. RefreshSendLine re-parses the text and shows it in the selector's
    // format; FillModbusChecksum also puts the checksum into the last two bytes (a line of
    // fewer than two bytes stays as it is); SendLine refreshes the line in the selector's
    // format and writes its bytes to the port in one write, CR LF after a Text line.
    void RefreshSendLine(int nEditId, int nFormatId, ByteArray& lineBytes, int& nLineFormat);
    void FillModbusChecksum(int nEditId, int nFormatId, ByteArray& lineBytes, int& nLineFormat);
    void SendLine(int nEditId, int nFormatId, ByteArray& lineBytes, int& nLineFormat);

    // The capture of every byte read from the port into a file, beside the log and whatever
    // becomes of it. The system-menu item stops a capture that runs, else asks for a file.
    void OnCaptureToFile();
    // Appends the item to the system menu, then starts capturing into m_strCaptureFile, if set.
    void SetUpCapture();
    // A file that cannot be opened shows the error box with the system's text; no capture.
    void StartCapture(const std::string& path);
    void StopCapture();
    // The bytes of one read, in one write; a failed write ends the capture and says so once the
    // tick has returned.
    void CaptureReceived(int n);

    // The CRC check: the log's menu item, the received bytes the log's selection shows whole,
    // and the check of them, whose result a message box gives.
    void SetUpCrcCheck();
    LogByteRange SelectedLogFrame() const;
    void OnCheckModbusCrc();

    // Set while a tick runs, so that the boxes it raises wait until it has returned. Before the
    // channel, which reports through it until it goes.
    bool m_bInTick = false;

    CComPort m_comPort;
    ByteArray m_lineBytes1;
    ByteArray m_lineBytes2;
    ByteArray m_lineBytes3;
    ByteArray m_lineBytes4;
    ByteArray m_lineBytes5;
    // Negative: the next refresh takes the selector's entry. Nothing has set them before the
    // parameters file is loaded, so they start that way.
    int m_nLineFormat1 = -1;
    int m_nLineFormat2 = -1;
    int m_nLineFormat3 = -1;
    int m_nLineFormat4 = -1;
    int m_nLineFormat5 = -1;
    std::array<std::uint8_t, kRxBufferBytes> m_rxBuffer{};
    std::array<std::uint8_t, kRxBufferBytes> m_rxChunk{};
    // Defined from construction: a tick can come while the start-up's error box is open,
    // before the start-up sets them.
    int m_nShown = 0;
    int m_nFill = 0;
    int m_bRedraw = 0;
    // The log format of the view's text, the rendering of the first m_nShown bytes.
    int m_nShownFormat = kLineFormatHex;
    std::uint8_t m_byPort = 0;
    std::string m_strLog;
    std::string m_strSettings = kDefaultSettings;
    // The file to capture into from the first tick, written by the creator before the modal
    // run; empty for none.
    std::string m_strCaptureFile;
    // Closed when the window object goes, right after its run.
    CaptureFile m_captureFile;
    // What the reads since the view last changed did to the log: whether it must be shown
    // again, and how many bytes they took. The view then shows m_nShownInView bytes.
    bool m_bLogChanged = false;
    int m_nTakenSinceShown = 0;
    int m_nShownInView = 0;
    bool m_bIntakeRunning = false;
    // Intakes in a row that took less than the ticks alone could have.
    int m_nLeanIntakes = 0;
    // Following a port whose device went away, and whether its number led to a device at the
    // last look.
    bool m_bFollowingDevice = false;
    bool m_bDeviceSeen = false;
};
