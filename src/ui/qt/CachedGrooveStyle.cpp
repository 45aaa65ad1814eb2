#include "ui/qt/CachedGrooveStyle.h"

#include <cmath>
#include <utility>

#include <QImage>
#include <QPainter>
#include <QStyleOptionSlider>
#include <QTransform>

CachedGrooveStyle::CachedGrooveStyle(QStyle* base) : QProxyStyle(base) {}

void CachedGrooveStyle::drawComplexControl(ComplexControl control,
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
    const GrooveLook look{bar->rect.size(),
                          pixelRatio,
                          bar->orientation,
                          bar->direction,
                          static_cast<unsigned>(bar->state),
                          static_cast<unsigned>(bar->activeSubControls),
                          bar->palette.cacheKey()};
    if (m_groove.isNull() || look != m_drawn) {
        QImage groove(bar->rect.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        groove.setDevicePixelRatio(pixelRatio);
        groove.fill(Qt::transparent);
        QStyleOptionSlider grooveOnly = *bar;
        grooveOnly.rect.moveTopLeft(QPoint(0, 0));
        grooveOnly.subControls = SC_ScrollBarGroove;
        QPainter groovePainter(&groove);
        QProxyStyle::drawComplexControl(control, &grooveOnly, &groovePainter, widget);
        groovePainter.end();
        // A groove without see-through pixels becomes an opaque pixmap, which is copied rather
        // than blended.
        m_groove = QPixmap::fromImage(std::move(groove));
        m_drawn = look;
    }
    painter->drawPixmap(bar->rect.topLeft(), m_groove);
    QStyleOptionSlider rest = *bar;
    rest.subControls &= ~SC_ScrollBarGroove;
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
}
