#include "ui/TemplateDialog.h"

#include "ui/DialogBackend.h"

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, TemplateDialog* pParent)
    : m_template(dialogTemplate), m_backend(MakeDialogBackend(*this, pParent)) {}

TemplateDialog::~TemplateDialog() = default;

int TemplateDialog::DoModal() {
    return m_backend->RunModal();
}

void TemplateDialog::InitDialog() {
    if (!OnInitDialog()) {
        return;
    }
    for (const ControlTemplate& control : m_template.controls) {
        if ((control.style & kControlTabStop) != 0 && HasDlgItem(control.id)) {
            GotoDlgCtrl(control.id);
            return;
        }
    }
}

bool TemplateDialog::OnInitDialog() {
    FillComboBoxes();
    UpdateData(false);
    return true;
}

void TemplateDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(kIdOk);
    }
}

void TemplateDialog::OnCancel() {
    EndDialog(kIdCancel);
}

bool TemplateDialog::DoDataExchange(bool) {
    return true;
}

bool TemplateDialog::UpdateData(bool saveAndValidate) {
    return DoDataExchange(saveAndValidate);
}

void TemplateDialog::EndDialog(int result) {
    m_backend->EndDialog(result);
}

void TemplateDialog::OnTimer(unsigned) {}

void TemplateDialog::OnChar(unsigned, unsigned, unsigned) {}

void TemplateDialog::OnSysCommand(unsigned nID, long lParam) {
    m_backend->DefaultSysCommand(nID, lParam);
}

void TemplateDialog::OnPaint() {
    m_backend->DefaultPaint();
}

WindowIcon TemplateDialog::OnQueryDragIcon() const {
    return {};
}

void TemplateDialog::OnCommand(int id) {
    const auto found = m_clickHandlers.find(id);
    if (found != m_clickHandlers.end()) {
        found->second();
    } else if (id == kIdOk) {
        OnOK();
    } else if (id == kIdCancel) {
        OnCancel();
    }
}

void TemplateDialog::OnSelChange(int id) {
    const auto found = m_selChangeHandlers.find(id);
    if (found != m_selChangeHandlers.end()) {
        found->second();
    }
}

bool TemplateDialog::HasDlgItem(int id) const {
    return m_backend->HasDlgItem(id);
}

std::string TemplateDialog::GetDlgItemText(int id) const {
    return m_backend->GetDlgItemText(id);
}

void TemplateDialog::SetDlgItemText(int id, std::string_view text) {
    m_backend->SetDlgItemText(id, text);
}

bool TemplateDialog::AppendDlgItemText(int id, std::string_view text) {
    return m_backend->AppendDlgItemText(id, text);
}

int TemplateDialog::ComboAddString(int id, std::string_view text) {
    return m_backend->ComboAddString(id, text);
}

void TemplateDialog::ComboResetContent(int id) {
    m_backend->ComboResetContent(id);
}

int TemplateDialog::ComboGetCount(int id) const {
    return m_backend->ComboGetCount(id);
}

std::string TemplateDialog::ComboGetLBText(int id, int index) const {
    return InComboRange(id, index) ? m_backend->ComboGetLBText(id, index) : std::string();
}

int TemplateDialog::ComboGetCurSel(int id) const {
    return m_backend->ComboGetCurSel(id);
}

int TemplateDialog::ComboSetCurSel(int id, int index) {
    return m_backend->ComboSetCurSel(id, InComboRange(id, index) ? index : -1);
}

void TemplateDialog::GetEditSel(int id, int& start, int& end) const {
    start = 0;
    end = 0;
    m_backend->GetEditSel(id, start, end);
}

void TemplateDialog::AddEditMenuItem(int id, std::string_view text, int commandId,
                                     std::function<bool()> available) {
    m_backend->AddEditMenuItem(id, text, std::move(available),
                               [this, commandId] { OnCommand(commandId); });
}

void TemplateDialog::GotoDlgCtrl(int id) {
    m_backend->GotoDlgCtrl(id);
}

void TemplateDialog::SetDlgItemToolTip(int id, std::function<std::string()> text) {
    m_backend->SetDlgItemToolTip(id, std::move(text));
}

void TemplateDialog::SetTimer(unsigned nIDEvent, unsigned elapseMs) {
    m_backend->SetTimer(nIDEvent, elapseMs);
}

void TemplateDialog::KillTimer(unsigned nIDEvent) {
    m_backend->KillTimer(nIDEvent);
}

void TemplateDialog::PostCall(std::function<void()> call) {
    m_backend->PostCall(std::move(call));
}

SystemMenu& TemplateDialog::GetSystemMenu() {
    return m_backend->GetSystemMenu();
}

void TemplateDialog::SetIcon(const WindowIcon& icon, bool bigIcon) {
    (bigIcon ? m_bigIcon : m_smallIcon) = icon;
    m_backend->SetIcon(icon, bigIcon);
}

WindowIcon TemplateDialog::GetIcon(bool bigIcon) const {
    return bigIcon ? m_bigIcon : m_smallIcon;
}

bool TemplateDialog::IsIconic() const {
    return m_backend->IsIconic();
}

PixelRect TemplateDialog::GetClientRect() const {
    return m_backend->GetClientRect();
}

void TemplateDialog::BindClicked(int id, std::function<void()> handler) {
    m_clickHandlers[id] = std::move(handler);
}

void TemplateDialog::BindSelChange(int id, std::function<void()> handler) {
    m_selChangeHandlers[id] = std::move(handler);
}

bool TemplateDialog::InComboRange(int id, int index) const {
    return index >= 0 && index < ComboGetCount(id);
}

void TemplateDialog::FillComboBoxes() {
    for (const ControlTemplate& control : m_template.controls) {
        if (control.kind != ControlKind::ComboBox || control.entries.empty()) {
            continue;
        }
        ComboResetContent(control.id);
        for (const char* entry : control.entries) {
            ComboAddString(control.id, entry);
        }
    }
}
