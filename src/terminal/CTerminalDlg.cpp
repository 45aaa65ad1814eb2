#include "terminal/CTerminalDlg.h"

#include "params/ParametersFile.h"
#include "params/ParametersFilePath.h"
#include "params/TextModeReader.h"
#include "res/TerminalTemplate.h"
#include "terminal/LogRendering.h"
#include "ui/MessageBoxes.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr unsigned kCharOne = 0x31;
constexpr char kCharOneMessage[] = "fff";

// Each send line's remembered format, top to bottom, beside its controls in kSendLines.
constexpr int CTerminalDlg::*kLineFormats[] = {
    &CTerminalDlg::m_nLineFormat1, &CTerminalDlg::m_nLineFormat2, &CTerminalDlg::m_nLineFormat3,
    &CTerminalDlg::m_nLineFormat4, &CTerminalDlg::m_nLineFormat5,
};
static_assert(std::size(kLineFormats) == std::size(kSendLines));
static_assert(std::size(kSendLines) == kParametersSendLineCount);
// A text line loaded from the file fits its edit field whole.
static_assert(TextModeReader::kMaxLineLength <= static_cast<std::size_t>(kEditTextLimit));

}  // namespace

CTerminalDlg::CTerminalDlg(TemplateDialog* pParent, const SerialDeviceFactory& makeDevice)
    : TemplateDialog(kTerminalTemplate, pParent),
      m_comPort(makeDevice(), [this](const std::string& text) {
          ShowOutsideTick([text] { ShowErrorBox(text); });
      }) {
    BindClicked(kIdClearButton, &CTerminalDlg::OnClear);
    BindClicked(kIdSendButton1, &CTerminalDlg::OnSend1);
    BindClicked(kIdSetButton, &CTerminalDlg::OnSet);
    BindClicked(kIdSendButton2, &CTerminalDlg::OnSend2);
    BindClicked(kIdSendButton3, &CTerminalDlg::OnSend3);
    BindClicked(kIdSendButton4, &CTerminalDlg::OnSend4);
    BindClicked(kIdSendButton5, &CTerminalDlg::OnSend5);
    BindSelChange(kIdLineFormat1, &CTerminalDlg::OnSelchangeFormat1);
    BindSelChange(kIdLineFormat2, &CTerminalDlg::OnSelchangeFormat2);
    BindSelChange(kIdLineFormat3, &CTerminalDlg::OnSelchangeFormat3);
    BindSelChange(kIdLineFormat4, &CTerminalDlg::OnSelchangeFormat4);
    BindSelChange(kIdLineFormat5, &CTerminalDlg::OnSelchangeFormat5);
    BindSelChange(kIdLogFormat, &CTerminalDlg::OnSelchangeLogFormat);
    BindClicked(kIdMbButton1, &CTerminalDlg::OnMb1);
    BindClicked(kIdMbButton2, &CTerminalDlg::OnMb2);
    BindClicked(kIdMbButton3, &CTerminalDlg::OnMb3);
    BindClicked(kIdMbButton4, &CTerminalDlg::OnMb4);
    BindClicked(kIdMbButton5, &CTerminalDlg::OnMb5);
}

bool CTerminalDlg::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate) {
        m_strLog = GetDlgItemText(kIdLogView);
        m_strSettings = GetDlgItemText(kIdSettingsEdit);
    } else {
        SetDlgItemText(kIdLogView, m_strLog);
        SetDlgItemText(kIdSettingsEdit, m_strSettings);
    }
    return true;
}

bool CTerminalDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    LoadParameters();
    // Whatever the parameters file holds; raises no change, so no redraw is asked for.
    ComboSetCurSel(kIdLogFormat, kLineFormatHex);
    SetUpCapture();
    SetUpCrcCheck();
    SetTimer(kTimerId, kTimerPeriodMs);
    m_comPort.SetTimeouts(kPollTotalMs, kPollIdleMs);
    m_comPort.SetPortNumber(m_byPort);
    // A port that fails to open has been reported by the channel; the window runs on.
    m_comPort.Open(m_strSettings);
    m_comPort.Purge();
    ResetReceiveLog(m_nFill, m_nShown);
    return true;
}

void CTerminalDlg::OnOK() {
    // A file that could not be written has been reported; the window closes all the same.
    SaveParameters();
    TemplateDialog::OnOK();
}

void CTerminalDlg::OnTimer(unsigned nIDEvent) {
    m_bInTick = true;
    if (nIDEvent == kIntakeTimerId) {
        OnIntakeTimer();
    } else {
        FollowDevice();
        const int n = m_comPort.Read(m_rxChunk.data(), kRxPollBytes);
        TakeReceived(n, m_bRedraw != 0);
        // A full poll may have left more behind: the driver is emptied, and while it keeps
        // filling faster than the ticks take, the intake timer empties it in between.
        if (n == kRxPollBytes && TakeWaitingBytes() >= kRxPollBytes && !m_bIntakeRunning) {
            SetTimer(kIntakeTimerId, kIntakePeriodMs);
            m_bIntakeRunning = true;
        }
        ShowReceiveLog();
    }
    m_bInTick = false;
    TemplateDialog::OnTimer(nIDEvent);
}

void CTerminalDlg::TakeReceived(int n, bool redraw) {
    CaptureReceived(n);
    if (UpdateReceiveLog(m_rxBuffer, m_nFill, m_nShown, redraw, m_rxChunk, n)) {
        m_bLogChanged = true;
        m_nTakenSinceShown += std::max(n, 0);
    }
}

int CTerminalDlg::TakeWaitingBytes() {
    int taken = 0;
    while (taken < kIntakeLimitBytes) {
        const int n = m_comPort.ReadWaiting(m_rxChunk.data(), kRxPollBytes);
        TakeReceived(n, false);
        taken += n;
        if (n < kRxPollBytes) {
            break;
        }
    }
    return taken;
}

void CTerminalDlg::OnIntakeTimer() {
    // A tick's share of a poll in one intake period, and the intakes in one tick period.
    constexpr int kTicksShare =
        kRxPollBytes * static_cast<int>(kIntakePeriodMs) / static_cast<int>(kTimerPeriodMs);
    constexpr int kIntakesPerTick = static_cast<int>(kTimerPeriodMs / kIntakePeriodMs);
    if (TakeWaitingBytes() >= kTicksShare) {
        m_nLeanIntakes = 0;
        return;
    }
    // A device that writes in bursts leaves gaps between them: the timer stops only when the
    // ticks alone would have kept up for a whole tick period.
    if (++m_nLeanIntakes >= kIntakesPerTick) {
        KillTimer(kIntakeTimerId);
        m_bIntakeRunning = false;
        m_nLeanIntakes = 0;
    }
}

void CTerminalDlg::ShowReceiveLog() {
    if (!m_bLogChanged) {
        return;
    }
    const int format = HasDlgItem(kIdLogFormat) ? ComboGetCurSel(kIdLogFormat) : kLineFormatHex;
    // Bytes that only lengthen the log add their own text to the view, so a tick costs what
    // arrived; a new log, a cleared one or another format shows the whole log anew.
    const int shownBefore = m_nShownInView;
    const bool lengthened = shownBefore > 0 && m_nShown == shownBefore + m_nTakenSinceShown &&
                            m_bRedraw == 0 && format == m_nShownFormat;
    if (!lengthened ||
        !AppendDlgItemText(
            kIdLogView, RenderReceiveLogFrom(m_rxBuffer.data(), shownBefore, m_nShown, format))) {
        SetDlgItemText(kIdLogView, RenderReceiveLog(m_rxBuffer.data(), m_nShown, format));
    }
    m_nShownFormat = format;
    m_nShownInView = m_nShown;
    m_nTakenSinceShown = 0;
    m_bLogChanged = false;
    m_bRedraw = 0;
}

void CTerminalDlg::FollowDevice() {
    if (m_comPort.IsDeviceGone()) {
        m_bFollowingDevice = true;
    }
    if (m_bFollowingDevice && !m_comPort.IsClosed()) {
        m_bFollowingDevice = false;  // Set has opened it
    }
    if (!m_bFollowingDevice) {
        // Whatever the device did last, its return is only seen after it has been away.
        m_bDeviceSeen = true;
        return;
    }
    const bool present = m_comPort.IsDevicePresent() != 0;
    if (present && !m_bDeviceSeen) {
        m_strSettings = GetDlgItemText(kIdSettingsEdit);
        // A device there that cannot be opened has its box once; the next change tries again.
        m_comPort.Open(m_strSettings);
    }
    m_bDeviceSeen = present;
}

void CTerminalDlg::ShowOutsideTick(std::function<void()> showBox) {
    if (m_bInTick) {
        PostCall(std::move(showBox));
    } else {
        showBox();
    }
}

void CTerminalDlg::OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags) {
    if (nChar == kCharOne) {
        ShowAppMessageBox(kCharOneMessage);
    }
    TemplateDialog::OnChar(nChar, nRepCnt, nFlags);
}

void CTerminalDlg::OnClear() {
    SetDlgItemText(kIdLogView, "");
    ResetReceiveLog(m_nFill, m_nShown);
}

void CTerminalDlg::OnSet() {
    UpdateData(true);
    // Closes the port and opens the same number again; failures are the channel's to show.
    m_comPort.Open(m_strSettings);
}

void CTerminalDlg::OnSelchangeLogFormat() {
    m_bRedraw = 1;
}

void CTerminalDlg::LoadParameters() {
    const std::optional<LoadedSendLines> loaded = LoadParametersFile(ParametersFilePath());
    if (!loaded) {
        ShowAppMessageBox(kParametersOpenFailedMessage);
        return;
    }
    for (std::size_t i = 0; i < std::size(kSendLines); ++i) {
        const LoadedSendLine& line = (*loaded)[i];
        this->*kLineFormats[i] = line.format;
        ComboSetCurSel(kSendLines[i].format, line.format);
        if (line.text) {
            SetDlgItemText(kSendLines[i].edit, *line.text);
        }
    }
}

void CTerminalDlg::SaveParameters() {
    SendLinesToSave lines;
    for (std::size_t i = 0; i < std::size(kSendLines); ++i) {
        lines[i] = {ComboGetCurSel(kSendLines[i].format), GetDlgItemText(kSendLines[i].edit)};
    }
    if (!SaveParametersFile(ParametersFilePath(), lines)) {
        ShowAppMessageBox(kParametersCreateFailedMessage);
    }
}
