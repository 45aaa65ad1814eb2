#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractScrollArea>
#include <QRawFont>

// The read-only log: a grid of fixed-width characters that draws only the lines it shows, so a
// log growing ten times a second costs what arrived, not what it holds. It keeps its own caret
// and selection, copies, and reads out through LogViewAccessible. One char is one byte.
class LogView : public QAbstractScrollArea {
public:
    explicit LogView(QWidget* parent);

    // The text with CR LF line breaks.
    std::string Text() const;
    // Replace the text, or add to its end; either way nothing is selected, and the caret and
    // both scroll bars are at the start.
    void SetText(std::string_view text);
    void AppendText(std::string_view text);

    // The text with "\n" line breaks, and the caret and selection as offsets into it: the
    // selection runs from the anchor to the caret, either way round.
    const std::string& Lines() const { return m_text; }
    std::size_t Caret() const { return m_caret; }
    std::size_t Anchor() const { return m_anchor; }
    void Select(std::size_t anchor, std::size_t caret);
    // The selected text, lines ended as the system ends them.
    QString SelectedText() const;
    void Copy() const;
    // Where a character is drawn, in the viewport, and the character under a viewport point.
    QRectF CharacterRect(std::size_t offset) const;
    std::size_t OffsetAt(QPointF point) const;
    // Scrolls the least that shows the character at this offset.
    void ShowOffset(std::size_t offset);

    // Adds an item after Copy and Select All to the context menu, enabled when `available`
    // says so as the menu opens.
    void AddMenuItem(const QString& text, std::function<bool()> available,
                     std::function<void()> chosen) {
        m_menuItems.push_back({text, std::move(available), std::move(chosen)});
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct MenuItem {
        QString text;
        std::function<bool()> available;
        std::function<void()> chosen;
    };

    void AddToLines(std::string_view text);
    // After a new text: nothing selected, caret and view at the start.
    void Restart(bool repaint);
    void MeasureFont();
    void SizeScrollBars();
    int LineCount() const { return static_cast<int>(m_lineStarts.size()); }
    int LineOf(std::size_t offset) const;
    std::size_t LineEnd(int line) const {
        const auto next = static_cast<std::size_t>(line) + 1;
        return next < m_lineStarts.size() ? m_lineStarts[next] - 1 : m_text.size();
    }
    qreal LineTop(int line) const;
    // The caret moved by a key, or -1 for a key that does not move it.
    long long MovedCaret(const QKeyEvent& event) const;
    // Draws a line that holds a character the raw font cannot draw; adds the others' glyphs
    // to the run drawn after all lines.
    void DrawLine(QPainter& painter, int line, qreal left);

    std::string m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_longestLine = 0;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    std::vector<MenuItem> m_menuItems;

    QRawFont m_font;
    std::array<quint32, 256> m_glyphs{};
    // The characters drawn from the raw font, each one grid cell wide; a line holding any
    // other is drawn by the painter's text layout.
    std::array<bool, 256> m_drawableChars{};
    QList<quint32> m_glyphIndexes;
    QList<QPointF> m_glyphPositions;
    qreal m_advance = 1;
    qreal m_ascent = 0;
    int m_lineHeight = 1;
};
