#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QClipboard>
#include <QFrame>
#include <QRawFont>

class QAction;
class QScrollBar;

// The read-only log: a grid of fixed-width characters that draws only the lines it shows, so a
// log growing ten times a second costs what arrived, not what it holds. It keeps its own caret
// and selection, copies, and reads out through LogViewAccessible. One char is one byte. It places
// its scroll bars itself, so a tick that lengthens the log repaints one bar and nothing else.
class LogView : public QFrame {
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
    // Puts the selected text on the clipboard, lines ended as the system ends them.
    void Copy(QClipboard::Mode mode = QClipboard::Clipboard) const;
    // Where the text is drawn, where a character is, and the character under a point, all in
    // the widget's coordinates.
    QRect TextArea() const { return m_area; }
    QRectF CharacterRect(std::size_t offset) const;
    std::size_t OffsetAt(QPointF point) const;
    // Scrolls the least that shows the character at this offset.
    void ShowOffset(std::size_t offset);

    QScrollBar* VerticalScrollBar() const { return m_down; }
    QScrollBar* HorizontalScrollBar() const { return m_across; }

    // Adds an item after Copy and Select All to the context menu, enabled when `available`
    // says so as the menu opens.
    void AddMenuItem(const QString& text, std::function<bool()> available,
                     std::function<void()> chosen);

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
    void wheelEvent(QWheelEvent* event) override;

private:
    void AddToLines(std::string_view text);
    void MeasureFont();
    void LayOut();
    void SizeScrollBars();
    int LineCount() const { return static_cast<int>(m_lineStarts.size()); }
    int LineOf(std::size_t offset) const;
    std::size_t LineStart(int line) const { return m_lineStarts[static_cast<std::size_t>(line)]; }
    std::size_t LineEnd(int line) const {
        return line + 1 < LineCount() ? LineStart(line + 1) - 1 : m_text.size();
    }
    std::string_view LineText(int line) const {
        return std::string_view(m_text).substr(LineStart(line), LineEnd(line) - LineStart(line));
    }
    qreal LineTop(int line) const;
    qreal LineLeft() const;
    // The caret moved by a key, or -1 for a key that does not move it.
    long long MovedCaret(const QKeyEvent& event) const;

    std::string m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_longestLine = 0;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    std::vector<std::pair<QAction*, std::function<bool()>>> m_menuItems;

    QScrollBar* m_down;
    QScrollBar* m_across;
    QRect m_area;
    QRawFont m_font;
    // Each character's glyph in the raw font where it is drawn from there, one grid cell wide;
    // 0 for those a line then needs the painter's text layout for.
    std::array<quint32, 256> m_glyphs{};
    qreal m_advance = 1;
    qreal m_ascent = 0;
    int m_lineHeight = 1;
};
