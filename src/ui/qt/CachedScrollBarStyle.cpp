#include "ui/qt/CachedScrollBarStyle.h"

#include <cmath>

#include <QPainter>
#include <QPixmapCache>
#include <QStyleOptionSlider>

void CachedScrollBarStyle::drawComplexControl(ComplexControl control,
                                              const QStyleOptionComplex* option, QPainter* painter,
                                              const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const qreal pixelRatio = painter->device()->devicePixelRatio();
    // A copy lands on the same device pixels only where nothing scales it or puts it between
    // pixels; a transient scroll bar fades, so its looks change between repaints.
    if (control != CC_ScrollBar || bar == nullptr || pixelRatio != std::floor(pixelRatio) ||
        painter->deviceTransform().type() > QTransform::TxTranslate ||
        proxy()->styleHint(SH_ScrollBar_Transient, option, widget) != 0) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // All a bar's drawing depends on, with where its slider is for the values behind it.
    const QRect slider = proxy()->subControlRect(control, bar, SC_ScrollBarSlider, widget);
    const QString look =
        baseStyle()->name() +
        QString::asprintf(" scroll bar %dx%d %d,%d %dx%d %g %d %d %x %x %x %lld %d %d",
                          bar->rect.width(), bar->rect.height(), slider.x() - bar->rect.x(),
                          slider.y() - bar->rect.y(), slider.width(), slider.height(), pixelRatio,
                          bar->orientation, bar->direction, static_cast<unsigned>(bar->state),
                          static_cast<unsigned>(bar->subControls),
                          static_cast<unsigned>(bar->activeSubControls), bar->palette.cacheKey(),
                          bar->sliderValue == bar->minimum, bar->sliderValue == bar->maximum);
    QPixmap drawn;
    if (!QPixmapCache::find(look, &drawn)) {
        QImage image(bar->rect.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(pixelRatio);
        image.fill(Qt::transparent);
        QPainter imagePainter(&image);
        imagePainter.translate(-bar->rect.topLeft());
        QProxyStyle::drawComplexControl(control, option, &imagePainter, widget);
        imagePainter.end();
        // A look without see-through pixels becomes an opaque pixmap, copied rather than blended.
        drawn = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(look, drawn);
    }
    painter->drawPixmap(bar->rect.topLeft(), drawn);
}
