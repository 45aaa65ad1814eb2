#pragma once

#include <optional>
#include <string>

// What loading the parameters file leaves for one send line.
struct LoadedSendLine {
    // Select this entry in the line's format selector and take it as the line's remembered
    // format: 0 (Text), 1 (Dec) or 2 (Hex). At the end of the file it is the last format read.
    int format = 0;
    // The new text of the line's edit field (8-bit, one char per byte), when the file held a
    // text line for it; without one the field keeps the text it has.
    std::optional<std::string> text;

    bool operator==(const LoadedSendLine&) const = default;
};
