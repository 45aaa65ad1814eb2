#pragma once

#include "ui/DialogBackend.h"
#include "ui/DialogUnits.h"
#include "ui/qt/QtSystemMenu.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include <QDialog>
#include <QPointer>

class QTimer;
class TemplateDialog;

// A TemplateDialog's window on Qt: a QDialog built from the template, whose controls, keys,
// close box, timers and paint events reach the dialog's handlers. It never has a Qt parent:
// the window it is opened from is its owner only.
class QtDialog final : public QDialog, public DialogBackend {
public:
    QtDialog(TemplateDialog& dialog, TemplateDialog* owner);
    ~QtDialog() override;

    static QtDialog& Of(const TemplateDialog& dialog);

    TemplateDialog& Dialog() const { return m_dialog; }
    // The control with this identifier, or nullptr.
    QWidget* Control(int id) const;
    DialogBaseUnits BaseUnits() const { return m_baseUnits; }
    QtSystemMenu& Menu() { return m_systemMenu; }

    int RunModal() override;
    void EndDialog(int result) override;

    bool HasDlgItem(int id) const override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, std::string_view text) override;
    bool AppendDlgItemText(int id, std::string_view text) override;
    int ComboAddString(int id, std::string_view text) override;
    void ComboResetContent(int id) override;
    int ComboGetCount(int id) const override;
    std::string ComboGetLBText(int id, int index) const override;
    int ComboGetCurSel(int id) const override;
    int ComboSetCurSel(int id, int index) override;
    void GotoDlgCtrl(int id) override;
    void SetDlgItemToolTip(int id, std::function<std::string()> text) override;
    void GetEditSel(int id, int& start, int& end) const override;
    void AddEditMenuItem(int id, std::string_view text, std::function<bool()> available,
                         std::function<void()> chosen) override;

    void SetTimer(unsigned nIDEvent, unsigned elapseMs) override;
    void KillTimer(unsigned nIDEvent) override;
    void PostCall(std::function<void()> call) override;

    SystemMenu& GetSystemMenu() override { return m_systemMenu; }
    void SetIcon(const WindowIcon& icon, bool bigIcon) override;
    bool IsIconic() const override { return isMinimized(); }
    PixelRect GetClientRect() const override;

    void DefaultSysCommand(unsigned nID, long lParam) override;
    void DefaultPaint() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DisableOwner();
    void EnableOwner();
    void KillAllTimers();

    TemplateDialog& m_dialog;
    QPointer<QWidget> m_owner;
    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    std::map<unsigned, QTimer*> m_timers;
    // The tooltip texts of the controls that have one, read when the tooltip shows.
    std::map<QObject*, std::function<std::string()>> m_toolTips;
    QtSystemMenu m_systemMenu;
    // The owner this run disabled, and the control that had its focus.
    QPointer<QWidget> m_disabledOwner;
    QPointer<QWidget> m_ownerFocus;
    bool m_ended = false;
    int m_endResult = 0;
};
