#pragma once

#include "params/ParametersFile.h"

#include <optional>
#include <string>

// Send lines and file bytes that tests of the parameters file share.

// Send line 1 in Text holding `text`, the others untouched.
inline SendLinesToSave OneText(const std::string& text) {
    SendLinesToSave lines;
    lines[0] = {0, text};
    return lines;
}

// The text loaded for send line 1, if anything was loaded.
inline std::optional<std::string> FirstText(const std::optional<LoadedSendLines>& lines) {
    return lines ? (*lines)[0].text : std::nullopt;
}

// A parameters file before a save, and what saving NewLines() writes in its place.

inline const std::string kOldBytes = "1\r\nold text\r\n";

inline SendLinesToSave NewLines() {
    SendLinesToSave lines;
    lines[0] = {2, "01,03,00,00,00,01"};
    return lines;
}

inline const std::string kNewBytes =
    "2\r\n01,03,00,00,00,01\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n-1\r\n\r\n";
