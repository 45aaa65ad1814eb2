#pragma once

#include "ui/TemplateDialog.h"

// The About box: the icon, "Quenlark Version 1.0" and OK. Its OK button and the Escape key
// close it; it exchanges no data.
class CAboutBox : public TemplateDialog {
public:
    explicit CAboutBox(TemplateDialog* pParent = nullptr);
};
