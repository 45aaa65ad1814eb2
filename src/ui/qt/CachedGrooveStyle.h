#pragma once

#include <QPixmap>
#include <QProxyStyle>
#include <QSize>

// Draws scroll bars as its base style does, but draws a scroll bar's groove once and copies it
// on later repaints. Fusion fills and outlines the whole groove on every repaint, and Qt hands
// fills that tall to its thread pool and waits: for a log that grows on every tick that is most
// of what the tick costs. The groove depends only on the bar's size, palette and state; the
// slider and the buttons are drawn over the copy as the base style draws them.
class CachedGrooveStyle : public QProxyStyle {
public:
    // Takes ownership of the base style.
    explicit CachedGrooveStyle(QStyle* base);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    struct GrooveLook {
        QSize size;
        qreal pixelRatio = 0;
        int orientation = 0;
        int direction = 0;
        unsigned state = 0;
        unsigned activeSubControls = 0;
        qint64 palette = 0;
        bool operator==(const GrooveLook&) const = default;
    };

    mutable GrooveLook m_drawn;
    mutable QPixmap m_groove;
};
