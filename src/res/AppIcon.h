#pragma once

// The application icon: a terminal screen on a serial plug, in sixteen colours.
constexpr int kAppIconId = 128;

// An icon resource's images in the XPM format, which is C data that Qt reads as it stands
// and the desktop's icon themes read as files.
struct IconResource {
    const char* const* large;  // 32 x 32
    const char* const* small;  // 16 x 16
};

// The icon with this identifier, or nullptr.
const IconResource* FindIconResource(int id);
