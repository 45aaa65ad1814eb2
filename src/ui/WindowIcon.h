#pragma once

// An icon of the program's resources (res/AppIcon.h) as a window shows it: a shared icon,
// which nobody destroys. It only names the resource; each backend makes the platform's icon
// from it when a window needs one.
class WindowIcon {
public:
    // No icon.
    WindowIcon() = default;

    // The icon resource with this identifier; no icon when there is none.
    static WindowIcon Load(int resourceId);

    bool IsNull() const { return m_resourceId == kNoIcon; }
    int ResourceId() const { return m_resourceId; }

    friend bool operator==(const WindowIcon&, const WindowIcon&) = default;

private:
    static constexpr int kNoIcon = 0;

    explicit WindowIcon(int resourceId) : m_resourceId(resourceId) {}

    int m_resourceId = kNoIcon;
};
