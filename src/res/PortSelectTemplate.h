#pragma once

#include "res/DialogTemplate.h"

constexpr int kPortSelectTemplateId = 102;

constexpr int kIdPortNumberEdit = 1004;
constexpr int kIdStartButton = 1009;

// The first window: the port number, "Start", OK and Cancel.
extern const DialogTemplate kPortSelectTemplate;
