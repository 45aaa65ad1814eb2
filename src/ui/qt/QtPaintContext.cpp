#include "ui/PaintContext.h"
#include "ui/SystemMetrics.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialog.h"
#include "ui/qt/QtIcon.h"

#include <QPainter>

// A painter on the dialog's window; OnPaint runs inside the window's paint event, where one
// may be made.
class PaintContext::Impl {
public:
    explicit Impl(QtDialog& window) : m_window(window), m_painter(&window) {}

    QtDialog& m_window;
    QPainter m_painter;
};

PaintContext::PaintContext(TemplateDialog& window)
    : m_impl(std::make_unique<Impl>(QtDialog::Of(window))) {}

PaintContext::~PaintContext() = default;

void PaintContext::EraseIconBackground() {
    m_impl->m_painter.fillRect(m_impl->m_window.rect(), m_impl->m_window.palette().window());
}

void PaintContext::DrawIcon(int x, int y, const WindowIcon& icon) {
    const QIcon qtIcon = ToQIcon(icon);
    if (qtIcon.isNull()) {
        return;
    }
    const int cx = GetSystemMetric(SystemMetric::kIconWidth);
    const int cy = GetSystemMetric(SystemMetric::kIconHeight);
    m_impl->m_painter.drawPixmap(x, y, qtIcon.pixmap(cx, cy));
}
