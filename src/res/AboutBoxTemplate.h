#pragma once

#include "res/DialogTemplate.h"

constexpr int kAboutBoxTemplateId = 100;

// The About box: the icon, the program's name and version, and OK.
extern const DialogTemplate kAboutBoxTemplate;
