#pragma once

#include "ui/DialogUnits.h"

class QAction;
class QDialog;
class QMenu;
class QWidget;
class TemplateDialog;

// The Qt widgets behind a TemplateDialog, for tests that click, type and look at them as a
// user does.

// The dialog's window.
QDialog& QtWindow(const TemplateDialog& dialog);
// The control with this identifier, or nullptr.
QWidget* QtControl(const TemplateDialog& dialog, int id);
// The dialog whose window this is, or nullptr (a message box, or no window).
TemplateDialog* DialogOfQtWindow(const QWidget* window);

// The window's system menu, and the command one of its items sends (0 for a separator).
QMenu& QtSystemMenuOf(TemplateDialog& dialog);
unsigned QtSystemCommandOf(const QAction& item);

// The dialog base units the window was laid out with.
DialogBaseUnits QtBaseUnits(const TemplateDialog& dialog);
