#include "ui/qt/LogView.h"

#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogViewAccessible.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
// Room between the frame and the text, left and above the first line.
constexpr qreal kMargin = 4;
// The layout shows a soft hyphen only where it breaks a line, which a log's lines never do.
constexpr unsigned char kSoftHyphen = 0xAD;

bool IsWordCharacter(char c) {
    const QChar character(static_cast<unsigned char>(c));
    return character.isLetterOrNumber() || c == '_';
}

}  // namespace

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    LogViewAccessible::Register();
    setLayoutDirection(Qt::LeftToRight);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // paintEvent fills the background.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    MeasureFont();
}

std::string LogView::Text() const {
    std::string text;
    text.reserve(m_text.size() + m_lineStarts.size());
    for (const char c : m_text) {
        if (c == kLineFeed) {
            text.push_back(kCarriageReturn);
        }
        text.push_back(c);
    }
    return text;
}

void LogView::SetText(std::string_view text) {
    const QString before = QAccessible::isActive() ? FromLatin1Text(m_text) : QString();
    m_text.clear();
    m_lineStarts.assign(1, 0);
    m_longestLine = 0;
    AddToLines(text);
    SizeScrollBars();
    Restart(true);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, before, FromLatin1Text(m_text));
        QAccessible::updateAccessibility(&changed);
    }
}

void LogView::AppendText(std::string_view text) {
    const int lastLine = LineCount() - 1;
    const std::size_t added = m_text.size();
    AddToLines(text);
    SizeScrollBars();
    // Only a view that shows where the text goes needs to draw it.
    const QScrollBar& lines = *verticalScrollBar();
    Restart(lines.value() == 0 && lastLine <= lines.pageStep());
    if (QAccessible::isActive() && m_text.size() > added) {
        QAccessibleTextInsertEvent inserted(this, static_cast<int>(added),
                                            FromLatin1Text(std::string_view(m_text).substr(added)));
        QAccessible::updateAccessibility(&inserted);
    }
}

void LogView::Select(std::size_t anchor, std::size_t caret) {
    anchor = std::min(anchor, m_text.size());
    caret = std::min(caret, m_text.size());
    if (anchor == m_anchor && caret == m_caret) {
        return;
    }
    const bool selected = m_anchor != m_caret || anchor != caret;
    m_anchor = anchor;
    m_caret = caret;
    if (selected || hasFocus()) {
        viewport()->update();
    }
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, static_cast<int>(m_caret));
        QAccessible::updateAccessibility(&moved);
        if (selected) {
            QAccessibleTextSelectionEvent changed(this,
                                                  static_cast<int>(std::min(m_anchor, m_caret)),
                                                  static_cast<int>(std::max(m_anchor, m_caret)));
            QAccessible::updateAccessibility(&changed);
        }
    }
}

QString LogView::SelectedText() const {
    const std::size_t from = std::min(m_anchor, m_caret);
    // The clipboard ends lines with "\n" and gives them to other programs as the system ends them.
    return FromLatin1Text(
        std::string_view(m_text).substr(from, std::max(m_anchor, m_caret) - from));
}

void LogView::Copy() const {
    if (m_anchor != m_caret) {
        QGuiApplication::clipboard()->setText(SelectedText());
    }
}

QRectF LogView::CharacterRect(std::size_t offset) const {
    offset = std::min(offset, m_text.size());
    const int line = LineOf(offset);
    const qreal column = static_cast<qreal>(offset - m_lineStarts[static_cast<std::size_t>(line)]);
    return {kMargin - horizontalScrollBar()->value() + column * m_advance, LineTop(line), m_advance,
            static_cast<qreal>(m_lineHeight)};
}

std::size_t LogView::OffsetAt(QPointF point) const {
    const int first = verticalScrollBar()->value();
    const qreal below = point.y() - LineTop(first);
    const int line =
        std::clamp(first + static_cast<int>(std::floor(below / m_lineHeight)), 0, LineCount() - 1);
    const std::size_t start = m_lineStarts[static_cast<std::size_t>(line)];
    const qreal column =
        std::round((point.x() - kMargin + horizontalScrollBar()->value()) / m_advance);
    return std::min(start + static_cast<std::size_t>(std::max<qreal>(0, column)), LineEnd(line));
}

void LogView::ShowOffset(std::size_t offset) {
    const int line = LineOf(offset);
    QScrollBar& lines = *verticalScrollBar();
    if (line < lines.value()) {
        lines.setValue(line);
    } else if (line >= lines.value() + lines.pageStep()) {
        lines.setValue(line - lines.pageStep() + 1);
    }
    const QRectF cell = CharacterRect(offset);
    QScrollBar& across = *horizontalScrollBar();
    if (cell.left() < 0) {
        across.setValue(across.value() + static_cast<int>(std::floor(cell.left() - kMargin)));
    } else if (cell.right() > viewport()->width()) {
        across.setValue(across.value() + static_cast<int>(std::ceil(cell.right() + kMargin)) -
                        viewport()->width());
    }
}

void LogView::AddMenuItem(const QString& text, std::function<bool()> available,
                          std::function<void()> chosen) {
    m_menuItems.push_back({text, std::move(available), std::move(chosen)});
}

void LogView::AddToLines(std::string_view text) {
    // Text ends at its first zero byte, as a zero-terminated string does.
    text = text.substr(0, text.find('\0'));
    m_text.reserve(m_text.size() + text.size());
    std::size_t lineStart = m_lineStarts.back();
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t lineFeed = text.find(kLineFeed, from);
        std::size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        if (lineFeed != std::string_view::npos && end > from && text[end - 1] == kCarriageReturn) {
            --end;
        }
        m_text.append(text.substr(from, end - from));
        if (lineFeed == std::string_view::npos) {
            break;
        }
        m_longestLine = std::max(m_longestLine, m_text.size() - lineStart);
        m_text.push_back(kLineFeed);
        lineStart = m_text.size();
        m_lineStarts.push_back(lineStart);
        from = lineFeed + 1;
    }
    m_longestLine = std::max(m_longestLine, m_text.size() - lineStart);
}

void LogView::Restart(bool repaint) {
    repaint = repaint || m_anchor != m_caret;
    m_anchor = 0;
    m_caret = 0;
    // A scroll bar that moves repaints the view itself.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    if (repaint) {
        viewport()->update();
    }
}

void LogView::MeasureFont() {
    const QFontMetricsF metrics(font());
    m_advance = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char(' ')));
    m_ascent = metrics.ascent();
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_font = QRawFont::fromFont(font());
    // Drawn from the raw font are the printable characters the font itself has, each one
    // cell wide.
    m_drawableChars.fill(false);
    for (int c = ' '; c <= 0xFF; ++c) {
        const QChar character(c);
        if (!character.isPrint() || c == kSoftHyphen || !m_font.supportsCharacter(character)) {
            continue;
        }
        const QList<quint32> glyphs = m_font.glyphIndexesForString(QString(character));
        if (glyphs.size() == 1 && metrics.horizontalAdvance(character) == m_advance) {
            m_glyphs[static_cast<std::size_t>(c)] = glyphs.front();
            m_drawableChars[static_cast<std::size_t>(c)] = true;
        }
    }
}

void LogView::SizeScrollBars() {
    // A page is the lines wholly shown below the top margin; the last page ends with the last
    // line. Across, the longest line and a margin on each side.
    const int lines = LineCount();
    const qreal room = viewport()->height() - kMargin;
    const int page = std::clamp(static_cast<int>(room / m_lineHeight), 0, lines);
    verticalScrollBar()->setRange(0, lines - page);
    verticalScrollBar()->setPageStep(std::max(1, page));
    const int width =
        static_cast<int>(std::ceil(static_cast<qreal>(m_longestLine) * m_advance + 2 * kMargin));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setSingleStep(static_cast<int>(std::ceil(m_advance)));
}

int LogView::LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return static_cast<int>(after - m_lineStarts.begin()) - 1;
}

std::size_t LogView::LineEnd(int line) const {
    const auto next = static_cast<std::size_t>(line) + 1;
    return next < m_lineStarts.size() ? m_lineStarts[next] - 1 : m_text.size();
}

qreal LogView::LineTop(int line) const {
    const int first = verticalScrollBar()->value();
    // The margin is above the first line only.
    return (first == 0 ? kMargin : 0) + (line - first) * m_lineHeight;
}

void LogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().brush(QPalette::Base));
    m_glyphIndexes.clear();
    m_glyphPositions.clear();
    const qreal left = kMargin - horizontalScrollBar()->value();
    for (int line = verticalScrollBar()->value(); line < LineCount(); ++line) {
        const qreal top = LineTop(line);
        if (top > area.bottom()) {
            break;
        }
        if (top + m_lineHeight > area.top()) {
            DrawLine(painter, line, top, left);
        }
    }
    if (!m_glyphIndexes.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes(m_glyphIndexes);
        run.setPositions(m_glyphPositions);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawGlyphRun(QPointF(), run);
    }
    if (hasFocus()) {
        const QRectF caret = CharacterRect(m_caret);
        painter.fillRect(QRectF(caret.topLeft(), QSizeF(1, caret.height())),
                         palette().color(QPalette::Text));
    }
}

void LogView::DrawLine(QPainter& painter, int line, qreal top, qreal left) {
    const std::size_t begin = m_lineStarts[static_cast<std::size_t>(line)];
    const std::size_t end = LineEnd(line);
    const std::string_view text = std::string_view(m_text).substr(begin, end - begin);
    const std::size_t from = std::clamp(std::min(m_anchor, m_caret), begin, end + 1);
    const std::size_t to = std::clamp(std::max(m_anchor, m_caret), begin, end + 1);
    const QRectF selected(left + static_cast<qreal>(from - begin) * m_advance, top,
                          static_cast<qreal>(to - from) * m_advance, m_lineHeight);
    if (to > from) {
        painter.fillRect(selected, palette().brush(QPalette::Highlight));
    }
    const bool drawable = std::all_of(text.begin(), text.end(), [this](char c) {
        return m_drawableChars[static_cast<unsigned char>(c)];
    });
    if (!drawable) {
        // Fallback fonts, tabs and controls as the text layout shows them; selected
        // characters over the highlight in its colour.
        const QString shown = FromLatin1Text(text);
        const QPointF baseline(left, top + m_ascent);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(baseline, shown);
        if (to > from) {
            painter.save();
            painter.setClipRect(selected);
            painter.setPen(palette().color(QPalette::HighlightedText));
            painter.drawText(baseline, shown);
            painter.restore();
        }
        return;
    }
    QList<quint32> selectedGlyphs;
    QList<QPointF> selectedPositions;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A space draws nothing.
        if (text[i] == ' ') {
            continue;
        }
        const quint32 glyph = m_glyphs[static_cast<unsigned char>(text[i])];
        const QPointF at(left + static_cast<qreal>(i) * m_advance, top + m_ascent);
        const bool inSelection = begin + i >= from && begin + i < to;
        (inSelection ? selectedGlyphs : m_glyphIndexes).append(glyph);
        (inSelection ? selectedPositions : m_glyphPositions).append(at);
    }
    if (!selectedGlyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes(selectedGlyphs);
        run.setPositions(selectedPositions);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawGlyphRun(QPointF(), run);
    }
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SizeScrollBars();
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MeasureFont();
        SizeScrollBars();
        viewport()->update();
    }
}

long long LogView::MovedCaret(const QKeyEvent& event) const {
    const int line = LineOf(m_caret);
    const std::size_t start = m_lineStarts[static_cast<std::size_t>(line)];
    const auto toLine = [&](int to) {
        to = std::clamp(to, 0, LineCount() - 1);
        const std::size_t toStart = m_lineStarts[static_cast<std::size_t>(to)];
        return static_cast<long long>(std::min(toStart + (m_caret - start), LineEnd(to)));
    };
    const bool wholeText = (event.modifiers() & Qt::ControlModifier) != 0;
    const int page = verticalScrollBar()->pageStep();
    switch (event.key()) {
        case Qt::Key_Left:
            return m_caret > 0 ? static_cast<long long>(m_caret) - 1 : 0;
        case Qt::Key_Right:
            return static_cast<long long>(std::min(m_caret + 1, m_text.size()));
        case Qt::Key_Up:
            return toLine(line - 1);
        case Qt::Key_Down:
            return toLine(line + 1);
        case Qt::Key_PageUp:
            return toLine(line - page);
        case Qt::Key_PageDown:
            return toLine(line + page);
        case Qt::Key_Home:
            return wholeText ? 0 : static_cast<long long>(start);
        case Qt::Key_End:
            return static_cast<long long>(wholeText ? m_text.size() : LineEnd(line));
        default:
            return -1;
    }
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        Copy();
    } else if (event == QKeySequence::SelectAll) {
        Select(0, m_text.size());
    } else if (const long long caret = MovedCaret(*event); caret >= 0) {
        const auto moved = static_cast<std::size_t>(caret);
        Select((event->modifiers() & Qt::ShiftModifier) != 0 ? m_anchor : moved, moved);
        ShowOffset(moved);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const std::size_t at = OffsetAt(event->position());
    Select((event->modifiers() & Qt::ShiftModifier) != 0 ? m_anchor : at, at);
    m_selecting = true;
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (m_selecting && (event->buttons() & Qt::LeftButton) != 0) {
        const std::size_t at = OffsetAt(event->position());
        Select(m_anchor, at);
        ShowOffset(at);
    }
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        QClipboard& clipboard = *QGuiApplication::clipboard();
        if (m_anchor != m_caret && clipboard.supportsSelection()) {
            clipboard.setText(SelectedText(), QClipboard::Selection);
        }
    }
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_text.empty()) {
        return;
    }
    std::size_t from = std::min(OffsetAt(event->position()), m_text.size() - 1);
    std::size_t to = from + 1;
    if (IsWordCharacter(m_text[from])) {
        while (from > 0 && IsWordCharacter(m_text[from - 1])) {
            --from;
        }
        while (to < m_text.size() && IsWordCharacter(m_text[to])) {
            ++to;
        }
    }
    Select(from, to);
    m_selecting = false;
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy"), this, [this] { Copy(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(m_anchor != m_caret);
    QAction* all =
        menu.addAction(QStringLiteral("Select All"), this, [this] { Select(0, m_text.size()); });
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!m_text.empty());
    if (!m_menuItems.empty()) {
        menu.addSeparator();
    }
    for (const MenuItem& item : m_menuItems) {
        menu.addAction(item.text, this, item.chosen)->setEnabled(item.available());
    }
    menu.exec(event->globalPos());
}

void LogView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void LogView::scrollContentsBy(int, int) {
    viewport()->update();
}
