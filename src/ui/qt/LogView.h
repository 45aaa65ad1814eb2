#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include <QClipboard>
#include <QFrame>
#include <QRawFont>
#include <QScrollBar>

// The read-only log: a grid of fixed-width characters, one a byte, that draws only the lines it
// shows and places its own scroll bars, so a tick that lengthens it repaints what arrived and one
// bar. It keeps its caret and selection, copies, and reads out through LogViewAccessible.
class LogView : public QFrame {
public:
    explicit LogView(QWidget* parent);

    // The text with CR LF line breaks.
    std::string Text() const;
    // Replace the text, or add to its end; either way nothing is selected, and the caret and
    // both scroll bars are at the start.
    void SetText(std::string_view text);
    void AppendText(std::string_view text);

    // The text with "\n" line breaks, and the caret and selection (from the anchor to the caret,
    // either way round) as offsets into it.
    const std::string& Lines() const { return m_text; }
    std::size_t Caret() const { return m_caret; }
    std::pair<std::size_t, std::size_t> Selection() const { return std::minmax(m_anchor, m_caret); }
    void Select(std::size_t anchor, std::size_t caret);
    // Where the text is drawn, where a character is, and the character under a point, all in
    // the widget's coordinates.
    QRect TextArea() const { return m_area; }
    QRectF CharacterRect(std::size_t offset) const;
    std::size_t OffsetAt(QPointF point) const;
    // Scrolls the least that shows the character at this offset.
    void ShowOffset(std::size_t offset);

    QScrollBar* VerticalScrollBar() const { return m_down; }
    QScrollBar* HorizontalScrollBar() const { return m_across; }

    // A context menu item after Copy and Select All, enabled as `available` says when it opens.
    void AddMenuItem(const QString& text, std::function<bool()> available,
                     std::function<void()> chosen) {
        m_menuItems.emplace_back(text, std::move(available), std::move(chosen));
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override { LayOut(); }
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { mouseMoveEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Puts the selected text on the clipboard, which ends its lines as the system does.
    void Copy(QClipboard::Mode mode = QClipboard::Clipboard) const;
    void MeasureFont();
    void LayOut();
    void SizeScrollBars();
    // Draws lines in the pen's colour, as one glyph run except where the text layout is needed.
    void DrawLines(QPainter& painter, int first, int last) const;
    int LineCount() const { return static_cast<int>(m_lineStarts.size()); }
    int LineOf(std::size_t offset) const {
        const auto after = std::ranges::upper_bound(m_lineStarts, offset);
        return static_cast<int>(after - m_lineStarts.begin()) - 1;
    }
    std::size_t LineStart(int line) const { return m_lineStarts[static_cast<std::size_t>(line)]; }
    std::size_t LineEnd(int line) const {
        return line + 1 < LineCount() ? LineStart(line + 1) - 1 : m_text.size();
    }
    // The margin is above the first line only.
    qreal LineTop(int line) const {
        const int first = m_down->value();
        return m_area.top() + (first == 0 ? kMargin : 0) + (line - first) * m_lineHeight;
    }
    qreal LineLeft() const { return m_area.left() + kMargin - m_across->value(); }

    // Room between the frame and the text, left and above the first line.
    static constexpr qreal kMargin = 4;

    std::string m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_longestLine = 0;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    std::vector<std::tuple<QString, std::function<bool()>, std::function<void()>>> m_menuItems;

    QScrollBar* m_down;
    QScrollBar* m_across;
    QRect m_area;
    QRawFont m_font;
    std::array<quint32, 256> m_glyphs{};
    qreal m_advance = 1;
    qreal m_ascent = 0;
    int m_lineHeight = 1;
};
