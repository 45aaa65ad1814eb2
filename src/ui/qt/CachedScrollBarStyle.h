#pragma once

#include <QProxyStyle>

// Draws scroll bars as its base style does, but each look of a bar once, and copies it on later
// repaints. Fusion fills and outlines groove and slider with gradients on every repaint: for a
// log that grows on every tick that is most of what the tick's repaint costs (see the painting
// benchmark). A growing log's bar keeps its look once the slider is at its shortest, and takes
// the same few looks again each time the log starts over.
class CachedScrollBarStyle : public QProxyStyle {
public:
    // Takes ownership of the base style.
    explicit CachedScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};
