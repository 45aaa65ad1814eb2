#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractScrollArea>
#include <QRawFont>

class QPlainTextEdit;

// A multi-line edit that, while the user is not working in it, draws its lines itself: a text
// editor lays out every line it is given again, so a log that changes ten times a second would
// cost what it holds, not what arrived. The editor is given the text when the user clicks or
// tabs into the view, when the text holds a character the view does not draw as the editor
// would, and when the edit is not read-only; the two look the same.
class LogView : public QAbstractScrollArea {
public:
    // The view takes the editor, set up as the control was asked to be, and looks as it does.
    LogView(QPlainTextEdit* editor, QWidget* parent);

    // The text with CR LF line breaks.
    std::string Text() const;
    // Replace the text, or add to its end; either way the view ends as the editor's own
    // replacing leaves it: nothing selected, the caret and both scroll bars at the start.
    void SetText(std::string_view text);
    void AppendText(std::string_view text);
    // The editor, holding the text from now on until the text next changes without focus.
    QPlainTextEdit& Editor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool MayDraw() const;
    // Shows the text drawn by the view, at the start; repaints if asked to or if the editor
    // showed it until now.
    void Draw(bool repaint = true);
    void ScrollToStart();
    void AddToLines(std::string_view text);
    void MeasureFont();
    void SizeScrollBars();
    int LineCount() const;

    QPlainTextEdit* m_editor;
    Qt::FocusPolicy m_focusPolicy;
    qreal m_margin = 0;
    // Whether the view draws the text itself; otherwise the editor shows it.
    bool m_drawn = true;
    // Whether every character of the text is one the view draws as the editor does.
    bool m_drawable = true;
    // The editor's mouse press that began in the view, passed on until the buttons are up.
    bool m_passingMouse = false;

    // The text with LF line breaks, as the editor holds it, and where each line starts.
    std::string m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_longestLine = 0;

    QRawFont m_font;
    std::array<quint32, 256> m_glyphs{};
    std::array<bool, 256> m_drawableChars{};
    // What a repaint draws, kept for the next one.
    QList<quint32> m_glyphIndexes;
    QList<QPointF> m_glyphPositions;
    qreal m_advance = 0;
    qreal m_ascent = 0;
    int m_lineHeight = 1;
};
