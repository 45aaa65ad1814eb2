#pragma once

#include <QProxyStyle>

// Draws each look of a scroll bar once as its base style does, and copies it on later repaints:
// Fusion's gradients are most of what a growing log's repaint costs (see the painting benchmark),
// and its bar takes the same few looks again and again.
class CachedScrollBarStyle : public QProxyStyle {
public:
    // Takes ownership of the base style.
    explicit CachedScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};
