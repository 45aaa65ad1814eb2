#pragma once

#include <vector>

#include <QPixmap>
#include <QPoint>
#include <QProxyStyle>
#include <QSize>

class QStyleOptionSlider;

// Draws scroll bars as its base style does, but draws a scroll bar's groove and slider once for
// each look and copies them on later repaints. Fusion fills and outlines both with gradients on
// every repaint: for a log that grows on every tick that is most of what the tick's repaint
// costs (see the painting benchmark). The groove depends only on the bar's size, palette and
// state, the slider also on its length; the buttons are drawn over the copies as the base style
// draws them. A log's slider takes the same few lengths again each time the log starts over.
class CachedScrollBarStyle : public QProxyStyle {
public:
    // Takes ownership of the base style.
    explicit CachedScrollBarStyle(QStyle* base);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    struct Look {
        QSize size;
        qreal pixelRatio = 0;
        int orientation = 0;
        int direction = 0;
        unsigned state = 0;
        unsigned activeSubControls = 0;
        qint64 palette = 0;
        // The slider's length and breadth; empty for the groove.
        QSize slider;
        bool operator==(const Look&) const = default;
    };
    struct Drawn {
        Look look;
        QPixmap pixmap;
        // Where the slider was in the bar when it was drawn.
        QPoint sliderAt;
    };

    // Draws the part of a bar of this look, or copies it from the last drawing.
    void DrawPart(SubControl part, const QStyleOptionSlider& bar, Look look, QPainter& painter,
                  const QWidget* widget) const;

    // The groove's last look, and the slider's last few, newest first.
    mutable Drawn m_groove;
    mutable std::vector<Drawn> m_sliders;
};
