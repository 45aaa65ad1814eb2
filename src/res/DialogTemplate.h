#pragma once

#include <span>

// A window template: the window's caption, its size in dialog units, its font, and its
// controls in tab order. The window layer builds a window from it; nothing here knows how.

// A rectangle in dialog units, as the window's layout is written.
struct DialogRect {
    int x;
    int y;
    int cx;
    int cy;
};

enum class ControlKind {
    PushButton,
    DefPushButton,  // the button that Enter presses
    Edit,
    ComboBox,
    Static,  // text
    Icon,    // an icon resource, shown at its own size
};

// Control styles.
constexpr unsigned kControlTabStop = 1u << 0;
constexpr unsigned kControlGroup = 1u << 1;
constexpr unsigned kControlBorder = 1u << 2;
constexpr unsigned kControlVScroll = 1u << 3;
constexpr unsigned kControlHScroll = 1u << 4;
constexpr unsigned kEditNumber = 1u << 5;  // typed characters other than digits are refused
constexpr unsigned kEditAutoHScroll = 1u << 6;
constexpr unsigned kEditMultiline = 1u << 7;
constexpr unsigned kEditReadOnly = 1u << 8;
constexpr unsigned kEditWantReturn = 1u << 9;   // a multi-line edit keeps the Enter key
constexpr unsigned kComboDropDown = 1u << 10;   // the selection field can be typed into
constexpr unsigned kStaticNoPrefix = 1u << 11;  // an ampersand is shown as it is

// Window styles.
constexpr unsigned kWindowVisible = 1u << 0;
constexpr unsigned kWindowCaption = 1u << 1;
constexpr unsigned kWindowSystemMenu = 1u << 2;
constexpr unsigned kWindowModalFrame = 1u << 3;
constexpr unsigned kWindowAppWindow = 1u << 4;  // has a taskbar button of its own

// The most characters a single-line edit holds. A send line rendered in Dec or Hex runs to
// four characters a byte, so the longest line one Send can use (1020 bytes, 4079 characters)
// fits many times over; a bound keeps a damaged parameters file from freezing the window.
constexpr int kEditTextLimit = 64 * 1024;

// Identifier of a control that is never addressed.
constexpr int kIdStatic = -1;

struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;  // caption; empty for edits and combo boxes
    DialogRect rect;   // for a drop-down combo box, its height includes the open list
    unsigned style;
    // Entries the window's initialisation adds to a combo box, in this order.
    std::span<const char* const> entries = {};
    int iconId = 0;  // for ControlKind::Icon
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx;  // size of the client area, in dialog units
    int cy;
    const char* fontName;
    int pointSize;
    unsigned style;
    std::span<const ControlTemplate> controls;
};
