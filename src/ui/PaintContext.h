#pragma once

#include <memory>

class TemplateDialog;
class WindowIcon;

// Paints a window from inside its OnPaint, as the platform's paint context does: made at the
// start of OnPaint, on the window being painted, it paints until it goes. Each backend defines
// these members and its Impl.
class PaintContext {
public:
    explicit PaintContext(TemplateDialog& window);
    ~PaintContext();
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    // Sends the window the erase-icon-background message with this context, whose default
    // handling fills the whole client area with the window's background.
    void EraseIconBackground();
    // Draws the icon at the system's icon size (SystemMetrics.h), its top left corner at x, y
    // of the client area; a null icon draws nothing.
    void DrawIcon(int x, int y, const WindowIcon& icon);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
