#include "ui/TemplateDialog.h"

#include "ui/ControlFactory.h"
#include "ui/DialogFont.h"
#include "ui/Latin1Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace {

constexpr unsigned kSystemCommandMask = 0xFFF0;
// Bits of a character's flags: the key was down before (auto-repeat), the Alt key is down.
constexpr unsigned kCharFlagRepeat = 0x4000;
constexpr unsigned kCharFlagAlt = 0x2000;
constexpr unsigned kScanCodeMask = 0xFF;
constexpr char32_t kLastLatin1 = 0xFF;

// Keys the dialog itself uses to move between controls, press the default button or cancel;
// they are no characters for the window.
bool IsDialogKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
           key == Qt::Key_Enter || key == Qt::Key_Escape;
}

unsigned CharFlags(const QKeyEvent& event) {
    unsigned flags = event.nativeScanCode() & kScanCodeMask;
    if (event.isAutoRepeat()) {
        flags |= kCharFlagRepeat;
    }
    if ((event.modifiers() & Qt::AltModifier) != 0) {
        flags |= kCharFlagAlt;
    }
    return flags;
}

// A multi-line edit holds its lines apart with "\n"; the program writes and reads "\r\n".
QString ToEditLineBreaks(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FromEditLineBreaks(const QPlainTextEdit& edit) {
    // Raw text, so that a no-break space stays one.
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
}

}  // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* pParent)
    : m_template(dialogTemplate),
      m_owner(pParent),
      m_systemMenu(*this, [this](unsigned nID) { OnSysCommand(nID, 0); }) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((dialogTemplate.style & kWindowCaption) != 0) {
        flags |= Qt::WindowTitleHint;
    }
    if ((dialogTemplate.style & kWindowSystemMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(FromLatin1Text(dialogTemplate.caption));

    const QFont font = DialogFont(dialogTemplate);
    setFont(font);
    m_baseUnits = MeasureDialogBaseUnits(font);
    setFixedSize(DialogUnitsToPixelsX(dialogTemplate.cx, m_baseUnits),
                 DialogUnitsToPixelsY(dialogTemplate.cy, m_baseUnits));

    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, *this, font, m_baseUnits);
        const int id = control.id;
        if (id != kIdStatic) {
            m_controls[id] = widget;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::activated, this, [this, id] { OnSelChange(id); });
        }
    }
}

TemplateDialog::~TemplateDialog() {
    EnableOwner();
}

int TemplateDialog::DoModal() {
    m_ended = false;
    DisableOwner();
    if (m_disabledOwner != nullptr && (m_template.style & kWindowAppWindow) == 0) {
        // Kept above its owner, and without a taskbar button of its own.
        create();
        if (QWindow* ownerWindow = m_disabledOwner->windowHandle()) {
            windowHandle()->setTransientParent(ownerWindow);
        }
    }
    if (OnInitDialog()) {
        FocusFirstTabStop();
    }
    const int result = m_ended ? m_endResult : exec();
    KillAllTimers();
    EnableOwner();
    return result;
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
    m_ended = true;
    m_endResult = result;
    // The owner comes back before this window goes, so that it is the one activated.
    EnableOwner();
    QDialog::done(result);
}

void TemplateDialog::OnTimer(unsigned) {}

void TemplateDialog::OnChar(unsigned, unsigned, unsigned) {}

void TemplateDialog::OnSysCommand(unsigned nID, long) {
    if ((nID & kSystemCommandMask) == kScClose) {
        close();
    }
}

void TemplateDialog::OnPaint() {}

QWidget* TemplateDialog::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

std::string TemplateDialog::GetDlgItemText(int id) const {
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return ToLatin1Text(edit->text());
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        return ToLatin1Text(FromEditLineBreaks(*edit));
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return ToLatin1Text(combo->currentText());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return ToLatin1Text(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return ToLatin1Text(label->text());
    }
    return {};
}

void TemplateDialog::SetDlgItemText(int id, std::string_view text) {
    QWidget* control = GetDlgItem(id);
    const QString value = FromLatin1Text(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value);
    } else if (auto* log = qobject_cast<QPlainTextEdit*>(control)) {
        log->setPlainText(ToEditLineBreaks(value));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(value);
    }
}

int TemplateDialog::ComboAddString(int id, std::string_view text) {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    if (combo == nullptr) {
        return -1;
    }
    // Qt selects the first entry added to an empty list; an added entry selects nothing here.
    const int selected = combo->currentIndex();
    const QString typed = combo->currentText();
    combo->addItem(FromLatin1Text(text));
    if (combo->currentIndex() != selected) {
        combo->setCurrentIndex(selected);
        if (combo->isEditable()) {
            combo->setEditText(typed);
        }
    }
    return combo->count() - 1;
}

int TemplateDialog::ComboGetCount(int id) const {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    return combo != nullptr ? combo->count() : -1;
}

std::string TemplateDialog::ComboGetLBText(int id, int index) const {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return ToLatin1Text(combo->itemText(index));
}

int TemplateDialog::ComboGetCurSel(int id) const {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int TemplateDialog::ComboSetCurSel(int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    if (combo == nullptr) {
        return -1;
    }
    // Only the user's choice raises the change notification (activated), so none runs here.
    const bool inRange = index >= 0 && index < combo->count();
    combo->setCurrentIndex(inRange ? index : -1);
    return inRange ? index : -1;
}

void TemplateDialog::GotoDlgCtrl(int id) {
    QWidget* control = GetDlgItem(id);
    if (control == nullptr) {
        return;
    }
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
    } else if (auto* log = qobject_cast<QPlainTextEdit*>(control)) {
        log->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    }
}

void TemplateDialog::SetTimer(unsigned nIDEvent, unsigned elapseMs) {
    QTimer*& timer = m_timers[nIDEvent];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, nIDEvent] { OnTimer(nIDEvent); });
    }
    timer->start(static_cast<int>(elapseMs));
}

void TemplateDialog::KillTimer(unsigned nIDEvent) {
    const auto found = m_timers.find(nIDEvent);
    if (found == m_timers.end()) {
        return;
    }
    // Stopped at once; deleted later, as this may run inside the timer's own tick.
    found->second->stop();
    found->second->deleteLater();
    m_timers.erase(found);
}

void TemplateDialog::SetIcon(const QIcon& icon, bool bigIcon) {
    (bigIcon ? m_bigIcon : m_smallIcon) = icon;
    QIcon windowIcon;
    if (!m_bigIcon.isNull()) {
        const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
        windowIcon.addPixmap(m_bigIcon.pixmap(size, size));
    }
    if (!m_smallIcon.isNull()) {
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        windowIcon.addPixmap(m_smallIcon.pixmap(size, size));
    }
    setWindowIcon(windowIcon);
}

QIcon TemplateDialog::GetIcon(bool bigIcon) const {
    return bigIcon ? m_bigIcon : m_smallIcon;
}

void TemplateDialog::BindClicked(int id, std::function<void()> handler) {
    m_clickHandlers[id] = std::move(handler);
}

void TemplateDialog::BindSelChange(int id, std::function<void()> handler) {
    m_selChangeHandlers[id] = std::move(handler);
}

void TemplateDialog::accept() {
    OnOK();
}

void TemplateDialog::reject() {
    OnCancel();
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    const QWidget* focus = focusWidget();
    if ((focus == nullptr || focus == this) && !IsDialogKey(event->key())) {
        const unsigned flags = CharFlags(*event);
        for (const char32_t c : event->text().toUcs4()) {
            OnChar(c <= kLastLatin1 ? static_cast<unsigned>(c) : unsigned{'?'}, 1, flags);
        }
    }
    QDialog::keyPressEvent(event);
}

void TemplateDialog::contextMenuEvent(QContextMenuEvent* event) {
    m_systemMenu.Popup(event->globalPos());
    event->accept();
}

void TemplateDialog::paintEvent(QPaintEvent*) {
    OnPaint();
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

void TemplateDialog::FocusFirstTabStop() {
    for (const ControlTemplate& control : m_template.controls) {
        QWidget* widget = GetDlgItem(control.id);
        if ((control.style & kControlTabStop) != 0 && widget != nullptr && widget->isEnabled()) {
            GotoDlgCtrl(control.id);
            return;
        }
    }
}

void TemplateDialog::FillComboBoxes() {
    for (const ControlTemplate& control : m_template.controls) {
        auto* combo = qobject_cast<QComboBox*>(GetDlgItem(control.id));
        if (combo == nullptr || control.entries.empty()) {
            continue;
        }
        combo->clear();
        for (const char* entry : control.entries) {
            ComboAddString(control.id, entry);
        }
    }
}

void TemplateDialog::DisableOwner() {
    QWidget* owner = m_owner != nullptr ? m_owner->window() : QApplication::activeModalWidget();
    if (owner == nullptr || owner == this || !owner->isEnabled()) {
        return;
    }
    m_ownerFocus = owner->focusWidget();
    owner->setEnabled(false);
    m_disabledOwner = owner;
}

void TemplateDialog::EnableOwner() {
    if (m_disabledOwner == nullptr) {
        return;
    }
    QWidget* owner = m_disabledOwner;
    m_disabledOwner = nullptr;
    owner->setEnabled(true);
    if (m_ownerFocus != nullptr) {
        m_ownerFocus->setFocus(Qt::ActiveWindowFocusReason);
    }
    owner->activateWindow();
}

void TemplateDialog::KillAllTimers() {
    for (auto& [id, timer] : m_timers) {
        timer->stop();
        timer->deleteLater();
    }
    m_timers.clear();
}
