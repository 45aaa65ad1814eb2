#pragma once

#include "res/ProjectVersion.h"

// The program file's version record.
constexpr int kFileVersion[] = {QUENLARK_VERSION_MAJOR, QUENLARK_VERSION_MINOR,
                                QUENLARK_VERSION_PATCH, QUENLARK_VERSION_TWEAK};
constexpr int kProductVersion[] = {QUENLARK_VERSION_MAJOR, QUENLARK_VERSION_MINOR,
                                   QUENLARK_VERSION_PATCH, QUENLARK_VERSION_TWEAK};
constexpr const char* kVersionBlock = "040904B0";  // US English, Unicode
constexpr const char* kFileVersionText = QUENLARK_VERSION_LIST;
constexpr const char* kProductVersionText = QUENLARK_VERSION_LIST;
constexpr const char* kFileDescription = "QUENLARK MFC Application";
constexpr const char* kInternalName = "QUENLARK";
constexpr const char* kOriginalFilename = "QUENLARK.EXE";
constexpr const char* kProductName = "QUENLARK Application";
constexpr const char* kCompanyName = "";
constexpr const char* kLegalTrademarks = "";
