#include "terminal/CTerminalDlg.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

#include <ctime>
#include <optional>

namespace {

constexpr char kCaptureDialogTitle[] = "Capture to file (an existing file is appended to)";
constexpr char kCaptureStoppedText[] = "Capture to file stopped: ";
constexpr char kCaptureFailedText[] = "Capture to file failed: ";

// COM<n>-<yyyymmdd>-<hhmmss>.bin, at the local time now: a new name for each capture.
std::string ProposedCaptureName(int port) {
    const std::time_t now = std::time(nullptr);
    char stamp[sizeof "yyyymmdd-hhmmss"] = {};
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local);
    }
    return "COM" + std::to_string(port) + '-' + stamp + ".bin";
}

}  // namespace

void CTerminalDlg::OnSysCommand(unsigned nID, long lParam) {
    if ((nID & kSystemCommandMask) == kIdmCaptureToFile) {
        OnCaptureToFile();
    } else {
        TemplateDialog::OnSysCommand(nID, lParam);
    }
}

void CTerminalDlg::OnCaptureToFile() {
    if (m_captureFile.IsOpen()) {
        StopCapture();
    } else if (const std::optional<std::string> path =
                   AskFileToAppendTo(*this, kCaptureDialogTitle, ProposedCaptureName(m_byPort))) {
        StartCapture(*path);
    }
    // A menu may turn the mark over by itself when the item is chosen.
    GetSystemMenu().CheckItem(kIdmCaptureToFile, m_captureFile.IsOpen());
}

void CTerminalDlg::SetUpCapture() {
    GetSystemMenu().AppendSeparator();
    GetSystemMenu().AppendItem(kIdmCaptureToFile, kCaptureItemText);
    if (!m_strCaptureFile.empty()) {
        StartCapture(m_strCaptureFile);
    }
}

void CTerminalDlg::StartCapture(const std::string& path) {
    if (!m_captureFile.Open(path)) {
        // The file is named: the port's error box, captioned the same, may open beside it.
        ShowErrorBox(kCaptureFailedText + path + '\n' + m_captureFile.ErrorText());
        return;
    }
    GetSystemMenu().CheckItem(kIdmCaptureToFile, true);
}

void CTerminalDlg::StopCapture() {
    m_captureFile.Close();
    GetSystemMenu().CheckItem(kIdmCaptureToFile, false);
}

void CTerminalDlg::CaptureReceived(int n) {
    if (n <= 0 || !m_captureFile.IsOpen()) {
        return;
    }
    if (!m_captureFile.Write(m_rxChunk.data(), static_cast<std::size_t>(n))) {
        StopCapture();
        ShowOutsideTick([text = kCaptureStoppedText + m_captureFile.Path() + '\n' +
                                m_captureFile.ErrorText()] { ShowAppMessageBox(text); });
    }
}
