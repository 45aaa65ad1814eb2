#include "ui/qt/QtDialog.h"

#include "res/DialogIds.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/ControlFactory.h"
#include "ui/qt/DialogFont.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtIcon.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

namespace {

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

}  // namespace

std::unique_ptr<DialogBackend> MakeDialogBackend(TemplateDialog& dialog, TemplateDialog* owner) {
    return std::make_unique<QtDialog>(dialog, owner);
}

QtDialog::QtDialog(TemplateDialog& dialog, TemplateDialog* owner)
    : m_dialog(dialog),
      m_owner(owner != nullptr ? &Of(*owner) : nullptr),
      m_systemMenu(*this, [this](unsigned nID) { m_dialog.OnSysCommand(nID, 0); }) {
    const DialogTemplate& dialogTemplate = dialog.Template();
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
            connect(button, &QAbstractButton::clicked, this,
                    [this, id] { m_dialog.OnCommand(id); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::activated, this, [this, id] { m_dialog.OnSelChange(id); });
        }
    }
}

QtDialog::~QtDialog() {
    EnableOwner();
}

QtDialog& QtDialog::Of(const TemplateDialog& dialog) {
    return static_cast<QtDialog&>(dialog.Backend());
}

QWidget* QtDialog::Control(int id) const {
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}

int QtDialog::RunModal() {
    m_ended = false;
    DisableOwner();
    if (m_disabledOwner != nullptr && (m_dialog.Template().style & kWindowAppWindow) == 0) {
        // Kept above its owner, and without a taskbar button of its own.
        create();
        if (QWindow* ownerWindow = m_disabledOwner->windowHandle()) {
            windowHandle()->setTransientParent(ownerWindow);
        }
    }
    m_dialog.InitDialog();
    const int result = m_ended ? m_endResult : exec();
    KillAllTimers();
    EnableOwner();
    return result;
}

void QtDialog::EndDialog(int result) {
    m_ended = true;
    m_endResult = result;
    // The owner comes back before this window goes, so that it is the one activated.
    EnableOwner();
    QDialog::done(result);
}

bool QtDialog::HasDlgItem(int id) const {
    return Control(id) != nullptr;
}

std::string QtDialog::GetDlgItemText(int id) const {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return ToLatin1Text(edit->text());
    }
    if (auto* log = dynamic_cast<LogView*>(control)) {
        return log->Text();
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

void QtDialog::SetDlgItemText(int id, std::string_view text) {
    QWidget* control = Control(id);
    if (auto* log = dynamic_cast<LogView*>(control)) {
        log->SetText(text);
        return;
    }
    const QString value = FromLatin1Text(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value);
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

bool QtDialog::AppendDlgItemText(int id, std::string_view text) {
    auto* log = dynamic_cast<LogView*>(Control(id));
    // A line feed would make one line break with a carriage return the view already ended in.
    if (log == nullptr || text.starts_with('\n')) {
        return false;
    }
    log->AppendText(text);
    return true;
}

int QtDialog::ComboAddString(int id, std::string_view text) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
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

void QtDialog::ComboResetContent(int id) {
    if (auto* combo = qobject_cast<QComboBox*>(Control(id))) {
        combo->clear();
    }
}

int QtDialog::ComboGetCount(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo != nullptr ? combo->count() : -1;
}

std::string QtDialog::ComboGetLBText(int id, int index) const {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo != nullptr ? ToLatin1Text(combo->itemText(index)) : std::string();
}

int QtDialog::ComboGetCurSel(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int QtDialog::ComboSetCurSel(int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr) {
        return -1;
    }
    // Only the user's choice raises the change notification (activated), so none runs here.
    combo->setCurrentIndex(index);
    return index;
}

void QtDialog::GotoDlgCtrl(int id) {
    QWidget* control = Control(id);
    if (control == nullptr) {
        return;
    }
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
    } else if (auto* log = dynamic_cast<LogView*>(control)) {
        log->Select(0, log->Lines().size());
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    }
}

void QtDialog::SetDlgItemToolTip(int id, std::function<std::string()> text) {
    if (QWidget* control = Control(id)) {
        control->installEventFilter(this);
        m_toolTips[control] = std::move(text);
    }
}

void QtDialog::GetEditSel(int id, int& start, int& end) const {
    const auto* log = dynamic_cast<const LogView*>(Control(id));
    if (log == nullptr) {
        return;
    }
    // The view ends its lines with "\n" alone; the window's text with "\r\n".
    const std::string& lines = log->Lines();
    const auto withLineBreaks = [&lines](std::size_t offset) {
        const auto lineFeeds = std::count(lines.begin(), lines.begin() + offset, '\n');
        return static_cast<int>(offset + static_cast<std::size_t>(lineFeeds));
    };
    start = withLineBreaks(log->Selection().first);
    end = withLineBreaks(log->Selection().second);
}

void QtDialog::AddEditMenuItem(int id, std::string_view text, std::function<bool()> available,
                               std::function<void()> chosen) {
    if (auto* log = dynamic_cast<LogView*>(Control(id))) {
        log->AddMenuItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                         std::move(available), std::move(chosen));
    }
}

void QtDialog::SetTimer(unsigned nIDEvent, unsigned elapseMs) {
    QTimer*& timer = m_timers[nIDEvent];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, nIDEvent] { m_dialog.OnTimer(nIDEvent); });
    }
    timer->start(static_cast<int>(elapseMs));
}

void QtDialog::KillTimer(unsigned nIDEvent) {
    const auto found = m_timers.find(nIDEvent);
    if (found == m_timers.end()) {
        return;
    }
    // Stopped at once; deleted later, as this may run inside the timer's own tick.
    found->second->stop();
    found->second->deleteLater();
    m_timers.erase(found);
}

void QtDialog::PostCall(std::function<void()> call) {
    // Queued on this window: dropped with it, and skipped once its run has ended.
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call)] {
            if (isVisible()) {
                call();
            }
        },
        Qt::QueuedConnection);
}

void QtDialog::SetIcon(const WindowIcon&, bool) {
    // One icon of Qt's holds both sizes, each drawn from the dialog's icon of that size.
    QIcon windowIcon;
    for (const auto& [bigIcon, metric] :
         {std::pair{true, QStyle::PM_LargeIconSize}, std::pair{false, QStyle::PM_SmallIconSize}}) {
        if (const QIcon icon = ToQIcon(m_dialog.GetIcon(bigIcon)); !icon.isNull()) {
            const int size = style()->pixelMetric(metric);
            windowIcon.addPixmap(icon.pixmap(size, size));
        }
    }
    setWindowIcon(windowIcon);
}

PixelRect QtDialog::GetClientRect() const {
    return {0, 0, width(), height()};
}

void QtDialog::DefaultSysCommand(unsigned nID, long) {
    // Every other command is the window manager's, which has already carried it out.
    if ((nID & kSystemCommandMask) == kScClose) {
        close();
    }
}

void QtDialog::DefaultPaint() {
    // The background is already painted.
}

bool QtDialog::eventFilter(QObject* watched, QEvent* event) {
    const auto found = m_toolTips.find(watched);
    if (event->type() != QEvent::ToolTip || found == m_toolTips.end()) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), QString::fromStdString(found->second()),
                       static_cast<QWidget*>(watched));
    return true;
}

void QtDialog::accept() {
    m_dialog.OnCommand(kIdOk);
}

void QtDialog::reject() {
    m_dialog.OnCommand(kIdCancel);
}

void QtDialog::keyPressEvent(QKeyEvent* event) {
    const QWidget* focus = focusWidget();
    if ((focus == nullptr || focus == this) && !IsDialogKey(event->key())) {
        const unsigned flags = CharFlags(*event);
        for (const char32_t c : event->text().toUcs4()) {
            m_dialog.OnChar(c <= kLastLatin1 ? static_cast<unsigned>(c) : unsigned{'?'}, 1, flags);
        }
    }
    QDialog::keyPressEvent(event);
}

void QtDialog::contextMenuEvent(QContextMenuEvent* event) {
    m_systemMenu.Popup(event->globalPos());
    event->accept();
}

void QtDialog::paintEvent(QPaintEvent*) {
    m_dialog.OnPaint();
}

void QtDialog::DisableOwner() {
    QWidget* owner = m_owner != nullptr ? m_owner->window() : QApplication::activeModalWidget();
    if (owner == nullptr || owner == this || !owner->isEnabled()) {
        return;
    }
    m_ownerFocus = owner->focusWidget();
    owner->setEnabled(false);
    m_disabledOwner = owner;
}

void QtDialog::EnableOwner() {
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

void QtDialog::KillAllTimers() {
    for (auto& [id, timer] : m_timers) {
        timer->stop();
        timer->deleteLater();
    }
    m_timers.clear();
}
