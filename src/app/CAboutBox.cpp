#include "app/CAboutBox.h"

#include "res/AboutBoxTemplate.h"

CAboutBox::CAboutBox(TemplateDialog* pParent) : TemplateDialog(kAboutBoxTemplate, pParent) {}
