#pragma once

#include <string>

// What saving the parameters file stores of one send line.
struct SendLineToSave {
    // The index of the entry selected in the line's format selector; -1 when none is selected.
    int selectedFormat = -1;
    // The edit field's text as shown (8-bit, one char per byte). Like the field, it ends at its
    // first zero byte, if it holds one.
    std::string text;

    bool operator==(const SendLineToSave&) const = default;
};
