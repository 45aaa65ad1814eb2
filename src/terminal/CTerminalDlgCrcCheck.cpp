#include "codec/ModbusCrc16.h"
#include "res/TerminalTemplate.h"
#include "terminal/CTerminalDlg.h"
#include "ui/MessageBoxes.h"

#include <array>

namespace {

// Two bytes as the log shows them, without the gap after the last.
std::string ShownBytes(const std::array<std::uint8_t, 2>& bytes, int format) {
    std::string text = RenderReceiveLog(bytes.data(), static_cast<int>(bytes.size()), format);
    if (format != kLineFormatText) {
        text.erase(text.find_last_not_of(' ') + 1);
    }
    return text;
}

}  // namespace

void CTerminalDlg::SetUpCrcCheck() {
    BindClicked(kIdCheckModbusCrc, &CTerminalDlg::OnCheckModbusCrc);
    AddEditMenuItem(kIdLogView, kCheckCrcItemText, kIdCheckModbusCrc,
                    [this] { return SelectedLogFrame().count >= kCrcCheckMinBytes; });
}

LogByteRange CTerminalDlg::SelectedLogFrame() const {
    // Bytes taken since the view last changed may have started a new log: the selection then
    // stands for bytes the receive log no longer holds where the view shows them.
    if (m_bLogChanged) {
        return {};
    }
    int start = 0;
    int end = 0;
    GetEditSel(kIdLogView, start, end);
    return SelectedLogBytes(m_rxBuffer.data(), m_nShown, m_nShownFormat, start, end);
}

void CTerminalDlg::OnCheckModbusCrc() {
    const LogByteRange frame = SelectedLogFrame();
    if (frame.count < kCrcCheckMinBytes) {
        return;
    }
    const std::uint8_t* bytes = m_rxBuffer.data() + frame.first;
    const auto covered = static_cast<std::uint32_t>(frame.count - 2);
    const std::uint16_t crc = ModbusCrc16(bytes, covered);
    // On the wire the CRC's low byte comes first.
    const std::array<std::uint8_t, 2> expected{static_cast<std::uint8_t>(crc & 0xFFu),
                                               static_cast<std::uint8_t>(crc >> 8)};
    const std::array<std::uint8_t, 2> last{bytes[covered], bytes[covered + 1]};
    if (last == expected) {
        ShowAppMessageBox(kCrcCorrectMessage);
        return;
    }
    ShowAppMessageBox("Modbus CRC wrong: the last two bytes are " +
                      ShownBytes(last, m_nShownFormat) + ", the bytes before them have the CRC " +
                      ShownBytes(expected, m_nShownFormat) + ".");
}
