#pragma once

#include "res/DialogTemplate.h"
#include "ui/DialogUnits.h"

class QFont;
class QWidget;

// Makes the widget for one control of a window template, placed in the window at the
// control's rectangle:
//   push button -> QPushButton (the default one set as the dialog's default button);
//   edit -> QLineEdit, or QPlainTextEdit for a multi-line edit (no wrapping, fixed-width font);
//   combo box -> QComboBox, editable for a drop-down one, typed text never inserted;
//   static -> QLabel with the text, or with the icon at its own size.
QWidget* CreateControl(const ControlTemplate& control, QWidget& dialog, const QFont& dialogFont,
                       DialogBaseUnits base);
