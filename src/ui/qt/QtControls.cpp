#include "ui/qt/QtControls.h"

#include "ui/qt/QtDialog.h"

QDialog& QtWindow(const TemplateDialog& dialog) {
    return QtDialog::Of(dialog);
}

QWidget* QtControl(const TemplateDialog& dialog, int id) {
    return QtDialog::Of(dialog).Control(id);
}

TemplateDialog* DialogOfQtWindow(const QWidget* window) {
    const auto* qtDialog = dynamic_cast<const QtDialog*>(window);
    return qtDialog != nullptr ? &qtDialog->Dialog() : nullptr;
}

QMenu& QtSystemMenuOf(TemplateDialog& dialog) {
    return QtDialog::Of(dialog).Menu().Menu();
}

unsigned QtSystemCommandOf(const QAction& item) {
    return QtSystemMenu::CommandOf(item);
}

DialogBaseUnits QtBaseUnits(const TemplateDialog& dialog) {
    return QtDialog::Of(dialog).BaseUnits();
}
