// The terminal window's five send lines: each handler passes its line's controls and members
// to one shared routine. The edit field's text is the authority; the bytes are rebuilt from
// it by every action.

#include "res/TerminalTemplate.h"
#include "terminal/CTerminalDlg.h"
#include "terminal/SendLine.h"

#include <optional>
#include <string>

void CTerminalDlg::OnSend1() {
    SendLine(kIdLineEdit1, kIdLineFormat1, m_lineBytes1, m_nLineFormat1);
}
void CTerminalDlg::OnSend2() {
    SendLine(kIdLineEdit2, kIdLineFormat2, m_lineBytes2, m_nLineFormat2);
}
void CTerminalDlg::OnSend3() {
    SendLine(kIdLineEdit3, kIdLineFormat3, m_lineBytes3, m_nLineFormat3);
}
void CTerminalDlg::OnSend4() {
    SendLine(kIdLineEdit4, kIdLineFormat4, m_lineBytes4, m_nLineFormat4);
}
void CTerminalDlg::OnSend5() {
    SendLine(kIdLineEdit5, kIdLineFormat5, m_lineBytes5, m_nLineFormat5);
}

void CTerminalDlg::OnSelchangeFormat1() {
    RefreshSendLine(kIdLineEdit1, kIdLineFormat1, m_lineBytes1, m_nLineFormat1);
}
void CTerminalDlg::OnSelchangeFormat2() {
    RefreshSendLine(kIdLineEdit2, kIdLineFormat2, m_lineBytes2, m_nLineFormat2);
}
void CTerminalDlg::OnSelchangeFormat3() {
    RefreshSendLine(kIdLineEdit3, kIdLineFormat3, m_lineBytes3, m_nLineFormat3);
}
void CTerminalDlg::OnSelchangeFormat4() {
    RefreshSendLine(kIdLineEdit4, kIdLineFormat4, m_lineBytes4, m_nLineFormat4);
}
void CTerminalDlg::OnSelchangeFormat5() {
    RefreshSendLine(kIdLineEdit5, kIdLineFormat5, m_lineBytes5, m_nLineFormat5);
}

void CTerminalDlg::OnMb1() {
    FillModbusChecksum(kIdLineEdit1, kIdLineFormat1, m_lineBytes1, m_nLineFormat1);
}
void CTerminalDlg::OnMb2() {
    FillModbusChecksum(kIdLineEdit2, kIdLineFormat2, m_lineBytes2, m_nLineFormat2);
}
void CTerminalDlg::OnMb3() {
    FillModbusChecksum(kIdLineEdit3, kIdLineFormat3, m_lineBytes3, m_nLineFormat3);
}
void CTerminalDlg::OnMb4() {
    FillModbusChecksum(kIdLineEdit4, kIdLineFormat4, m_lineBytes4, m_nLineFormat4);
}
void CTerminalDlg::OnMb5() {
    FillModbusChecksum(kIdLineEdit5, kIdLineFormat5, m_lineBytes5, m_nLineFormat5);
}

void CTerminalDlg::RefreshSendLine(int nEditId, int nFormatId, ByteArray& lineBytes,
                                   int& nLineFormat) {
    const bool hasEdit = HasDlgItem(nEditId);
    const std::string text = hasEdit ? GetDlgItemText(nEditId) : std::string();
    const std::optional<std::string> shown =
        ReparseSendLine(text, ComboGetCurSel(nFormatId), lineBytes, nLineFormat);
    if (hasEdit && shown) {
        SetDlgItemText(nEditId, *shown);
    }
}

void CTerminalDlg::FillModbusChecksum(int nEditId, int nFormatId, ByteArray& lineBytes,
                                      int& nLineFormat) {
    const bool hasEdit = HasDlgItem(nEditId);
    const std::string text = hasEdit ? GetDlgItemText(nEditId) : std::string();
    const std::optional<std::string> shown =
        ChecksumSendLine(text, ComboGetCurSel(nFormatId), lineBytes, nLineFormat);
    if (hasEdit && shown) {
        SetDlgItemText(nEditId, *shown);
    }
}

void CTerminalDlg::SendLine(int nEditId, int nFormatId, ByteArray& lineBytes, int& nLineFormat) {
    // Parsed in the selector's format, whatever the text was last written in.
    nLineFormat = -1;
    RefreshSendLine(nEditId, nFormatId, lineBytes, nLineFormat);
    const ByteArray frame = SendFrame(lineBytes, nLineFormat);
    // A short or failed write is not the window's to report.
    m_comPort.Write(frame.data(), static_cast<int>(frame.size()));
}
