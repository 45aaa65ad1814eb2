#include "ui/qt/CachedScrollBarStyle.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QImage>
#include <QPainter>
#include <QStyleOptionSlider>
#include <QTransform>

namespace {

// Slider looks kept: a log's slider takes a new length on each tick that lengthens the log, and
// the same lengths again once the log starts over.
constexpr std::size_t kSliderLooks = 32;
}  // namespace

CachedScrollBarStyle::CachedScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

void CachedScrollBarStyle::drawComplexControl(ComplexControl control,
                                              const QStyleOptionComplex* option, QPainter* painter,
                                              const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const qreal pixelRatio = painter->device()->devicePixelRatio();
    // A copy lands on the same device pixels only where nothing scales it or puts it between
    // pixels; a transient scroll bar fades, so its groove changes between repaints.
    if (control != CC_ScrollBar || bar == nullptr || (bar->subControls & SC_ScrollBarGroove) == 0 ||
        pixelRatio != std::floor(pixelRatio) ||
        painter->deviceTransform().type() > QTransform::TxTranslate ||
        proxy()->styleHint(SH_ScrollBar_Transient, option, widget) != 0) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const Look look{bar->rect.size(),
                    pixelRatio,
                    bar->orientation,
                    bar->direction,
                    static_cast<unsigned>(bar->state),
                    static_cast<unsigned>(bar->activeSubControls),
                    bar->palette.cacheKey(),
                    QSize()};
    DrawPart(SC_ScrollBarGroove, *bar, look, *painter, widget);
    if ((bar->subControls & SC_ScrollBarSlider) != 0) {
        DrawPart(SC_ScrollBarSlider, *bar, look, *painter, widget);
    }
    QStyleOptionSlider rest = *bar;
    rest.subControls &= ~(SC_ScrollBarGroove | SC_ScrollBarSlider);
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
}

void CachedScrollBarStyle::DrawPart(SubControl part, const QStyleOptionSlider& bar, Look look,
                                    QPainter& painter, const QWidget* widget) const {
    QPoint sliderAt;
    if (part == SC_ScrollBarSlider) {
        const QRect slider = proxy()->subControlRect(CC_ScrollBar, &bar, part, widget);
        look.slider = slider.size();
        sliderAt = slider.topLeft() - bar.rect.topLeft();
    }
    Drawn* drawn = part == SC_ScrollBarGroove ? &m_groove : nullptr;
    if (part == SC_ScrollBarSlider) {
        const auto same =
            std::find_if(m_sliders.begin(), m_sliders.end(),
                         [&look](const Drawn& slider) { return slider.look == look; });
        if (same != m_sliders.end()) {
            std::rotate(m_sliders.begin(), same, same + 1);
        } else {
            if (m_sliders.size() == kSliderLooks) {
                m_sliders.pop_back();
            }
            m_sliders.insert(m_sliders.begin(), Drawn{});
        }
        drawn = &m_sliders.front();
    }
    if (drawn->pixmap.isNull() || drawn->look != look) {
        const qreal pixelRatio = look.pixelRatio;
        QImage image(bar.rect.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(pixelRatio);
        image.fill(Qt::transparent);
        QStyleOptionSlider only = bar;
        only.rect.moveTopLeft(QPoint(0, 0));
        only.subControls = part;
        QPainter imagePainter(&image);
        QProxyStyle::drawComplexControl(CC_ScrollBar, &only, &imagePainter, widget);
        imagePainter.end();
        // A part without see-through pixels becomes an opaque pixmap, which is copied rather
        // than blended.
        *drawn = Drawn{look, QPixmap::fromImage(std::move(image)), sliderAt};
    }
    const QPoint at = bar.rect.topLeft() + sliderAt - drawn->sliderAt;
    painter.drawPixmap(at, drawn->pixmap);
}
