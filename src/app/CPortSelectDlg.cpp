#include "app/CPortSelectDlg.h"

#include "app/CAboutBox.h"
#include "app/IconPosition.h"
#include "app/PortListText.h"
#include "app/PortNumberCheck.h"
#include "res/AppIcon.h"
#include "res/PortSelectTemplate.h"
#include "res/StringTable.h"
#include "serial/SystemPorts.h"
#include "ui/MessageBoxes.h"
#include "ui/PaintContext.h"
#include "ui/SystemMetrics.h"

#include <string>

namespace {
constexpr std::uint8_t kFirstPortNumber = 1;
}  // namespace

CPortSelectDlg::CPortSelectDlg(TemplateDialog* pParent, TerminalWindowFactory makeTerminalWindow)
    : TemplateDialog(kPortSelectTemplate, pParent),
      m_byPortNumber(kFirstPortNumber),
      m_hIcon(WindowIcon::Load(kAppIconId)),
      m_makeTerminalWindow(std::move(makeTerminalWindow)) {
    BindClicked(kIdStartButton, &CPortSelectDlg::OnStart);
}

bool CPortSelectDlg::DoDataExchange(bool saveAndValidate) {
    if (!saveAndValidate) {
        SetDlgItemText(kIdPortNumberEdit, std::to_string(m_byPortNumber));
        return true;
    }
    const PortNumberCheck check = CheckPortNumber(GetDlgItemText(kIdPortNumberEdit));
    if (check.number) {
        m_byPortNumber = *check.number;
    }
    if (!check.message.empty()) {
        ShowAppMessageBox(check.message);
        GotoDlgCtrl(kIdPortNumberEdit);
        return false;
    }
    return true;
}

bool CPortSelectDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    // Adapters plugged in get their numbers now, so that the list shows them; what cannot be
    // numbered keeps the start-up quiet and opens as before.
    AssignSystemPortNumbers();
    // An adapter plugged in while the window is open is numbered before it is listed.
    SetDlgItemToolTip(kIdPortNumberEdit, [] {
        AssignSystemPortNumbers();
        return PortListToolTip(ListSystemPorts().ports);
    });
    AppendAboutItem(GetSystemMenu(), LoadStringResource(kIdsAboutBox));
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return true;
}

void CPortSelectDlg::AppendAboutItem(SystemMenu& menu, std::string_view text) {
    if (text.empty()) {
        return;
    }
    menu.AppendSeparator();
    menu.AppendItem(kIdmAboutBox, text);
}

void CPortSelectDlg::OnSysCommand(unsigned nID, long lParam) {
    if ((nID & kSystemCommandMask) == kIdmAboutBox) {
        CAboutBox dlgAbout;
        dlgAbout.DoModal();
    } else {
        TemplateDialog::OnSysCommand(nID, lParam);
    }
}

void CPortSelectDlg::OnPaint() {
    if (!IsIconic()) {
        TemplateDialog::OnPaint();
        return;
    }
    PaintContext dc(*this);
    dc.EraseIconBackground();
    const int cx = GetSystemMetric(SystemMetric::kIconWidth);
    const int cy = GetSystemMetric(SystemMetric::kIconHeight);
    const PixelRect rect = GetClientRect();
    const IconOrigin origin = CenteredIconOrigin(rect.width, rect.height, cx, cy);
    dc.DrawIcon(origin.x, origin.y, m_hIcon);
}

WindowIcon CPortSelectDlg::OnQueryDragIcon() const {
    return m_hIcon;
}

void CPortSelectDlg::OnStart() {
    // A refused number has been shown to the user; the start goes on all the same, with the
    // port read from the field's text.
    UpdateData(true);
    // An adapter plugged in while this window was open is numbered before its number opens.
    AssignSystemPortNumbers();
    const std::unique_ptr<TerminalWindow> dlg = m_makeTerminalWindow();
    dlg->SetPort(PortNumberFromText(GetDlgItemText(kIdPortNumberEdit)));
    dlg->DoModal();
}
