#pragma once

// Sizes the system decides, in pixels.
enum class SystemMetric {
    kIconWidth,  // of a window's large icon
    kIconHeight,
};

// Each backend provides it from the platform's own measures.
int GetSystemMetric(SystemMetric metric);
