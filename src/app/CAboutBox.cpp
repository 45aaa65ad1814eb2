#include "app/CAboutBox.h"

#include "res/AboutBoxTemplate.h"

CAboutBox::CAboutBox(QWidget* pParent) : TemplateDialog(kAboutBoxTemplate, pParent) {}
