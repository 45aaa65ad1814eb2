#pragma once

#include "res/DialogTemplate.h"
#include "ui/DialogUnits.h"

#include <QFont>

// The template's font where the system has it, else the platform's sans-serif face, at the
// template's point size.
QFont DialogFont(const DialogTemplate& dialogTemplate);

// The log view's font: the platform's fixed-width face at the dialog font's point size, so
// that items of equal length stand in columns.
QFont FixedWidthFont(const QFont& dialogFont);

// The dialog base units of a font as it is drawn on the screen.
DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);
