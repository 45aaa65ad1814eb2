#pragma once

// The program file's version record.
constexpr int kFileVersion[] = {1, 0, 0, 1};
constexpr int kProductVersion[] = {1, 0, 0, 1};
constexpr const char* kVersionBlock = "040904B0";  // US English, Unicode
constexpr const char* kFileVersionText = "1, 0, 0, 1";
constexpr const char* kProductVersionText = "1, 0, 0, 1";
constexpr const char* kFileDescription = "QUENLARK MFC Application";
constexpr const char* kInternalName = "QUENLARK";
constexpr const char* kOriginalFilename = "QUENLARK.EXE";
constexpr const char* kProductName = "QUENLARK Application";
constexpr const char* kCompanyName = "";
constexpr const char* kLegalTrademarks = "";
