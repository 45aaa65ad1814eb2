#include "ui/qt/LogView.h"

#include "ui/qt/CachedScrollBarStyle.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogViewAccessible.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QApplication>
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
#include <QStyleFactory>

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
// Room between the frame and the text, left and above the first line.
constexpr qreal kMargin = 4;

bool IsWordCharacter(char c) {
    return QChar(static_cast<unsigned char>(c)).isLetterOrNumber() || c == '_';
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
    MeasureFont();
    // A growing log gives its scroll bar a new range on every tick; Fusion draws groove and
    // slider apart, so their looks are kept and copied.
    if (QApplication::style()->name() == QLatin1String("fusion")) {
        for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
            auto* style = new CachedScrollBarStyle(QStyleFactory::create(QStringLiteral("fusion")));
            style->setParent(this);
            bar->setStyle(style);
        }
    }
}

std::string LogView::Text() const {
    std::string text;
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
    // Only a view that shows where the text goes draws it, from the line it was added to on.
    const QScrollBar& lines = *verticalScrollBar();
    const bool shown = lines.value() == 0 && lastLine <= lines.pageStep();
    Restart(false);
    if (shown) {
        const int top = static_cast<int>(LineTop(lastLine));
        viewport()->update(0, top, viewport()->width(), (LineCount() - lastLine) * m_lineHeight);
    }
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
        QAccessibleTextSelectionEvent changed(this, static_cast<int>(std::min(anchor, caret)),
                                              static_cast<int>(std::max(anchor, caret)));
        changed.setCursorPosition(static_cast<int>(caret));
        QAccessible::updateAccessibility(&changed);
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
    // The least scrolling that shows the line, and the cell with a margin on either side.
    const int line = LineOf(offset);
    QScrollBar& lines = *verticalScrollBar();
    lines.setValue(std::min(line, std::max(lines.value(), line - lines.pageStep() + 1)));
    QScrollBar& across = *horizontalScrollBar();
    const int x = static_cast<int>(CharacterRect(offset).left()) + across.value();
    const int shown = x + static_cast<int>(std::ceil(m_advance + kMargin)) - viewport()->width();
    across.setValue(std::min(x - static_cast<int>(kMargin), std::max(across.value(), shown)));
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
    // Drawn from the raw font: the printable characters (not the soft hyphen, a format
    // character) the font itself has, each one cell wide.
    m_drawableChars.fill(false);
    for (int c = ' '; c <= 0xFF; ++c) {
        const QChar character(c);
        if (!character.isPrint() || !m_font.supportsCharacter(character)) {
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
    int first = verticalScrollBar()->value();
    int last = first;
    for (; last < LineCount() && LineTop(last) <= area.bottom(); ++last) {
        first += LineTop(last) + m_lineHeight <= area.top() ? 1 : 0;
    }
    painter.setPen(palette().color(QPalette::Text));
    for (int line = first; line < last; ++line) {
        DrawLine(painter, line, left);
    }
    if (!m_glyphIndexes.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes(m_glyphIndexes);
        run.setPositions(m_glyphPositions);
        painter.drawGlyphRun(QPointF(), run);
    }
    // The selection over the text, in the highlight's colours.
    const std::size_t from = std::min(m_anchor, m_caret);
    const std::size_t to = std::max(m_anchor, m_caret);
    for (int line = first; line < last && to > from; ++line) {
        const std::size_t begin = m_lineStarts[static_cast<std::size_t>(line)];
        const std::size_t end = LineEnd(line);
        const std::size_t selectedFrom = std::clamp(from, begin, end + 1);
        const std::size_t selectedTo = std::clamp(to, begin, end + 1);
        const QRectF selected(
            left + static_cast<qreal>(selectedFrom - begin) * m_advance, LineTop(line),
            static_cast<qreal>(selectedTo - selectedFrom) * m_advance, m_lineHeight);
        painter.fillRect(selected, palette().brush(QPalette::Highlight));
        painter.save();
        painter.setClipRect(selected);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(QPointF(left, LineTop(line) + m_ascent),
                         FromLatin1Text(std::string_view(m_text).substr(begin, end - begin)));
        painter.restore();
    }
    if (hasFocus()) {
        const QRectF caret = CharacterRect(m_caret);
        painter.fillRect(QRectF(caret.topLeft(), QSizeF(1, caret.height())), painter.pen().color());
    }
}

void LogView::DrawLine(QPainter& painter, int line, qreal left) {
    const std::size_t begin = m_lineStarts[static_cast<std::size_t>(line)];
    const std::string_view text = std::string_view(m_text).substr(begin, LineEnd(line) - begin);
    const qreal baseline = LineTop(line) + m_ascent;
    const bool drawable = std::all_of(text.begin(), text.end(), [this](char c) {
        return m_drawableChars[static_cast<unsigned char>(c)];
    });
    if (!drawable) {
        // Fallback fonts, tabs and controls as the text layout shows them.
        painter.drawText(QPointF(left, baseline), FromLatin1Text(text));
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A space draws nothing.
        if (text[i] != ' ') {
            m_glyphIndexes.append(m_glyphs[static_cast<unsigned char>(text[i])]);
            m_glyphPositions.append(QPointF(left + static_cast<qreal>(i) * m_advance, baseline));
        }
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
    const bool wholeText = (event.modifiers() & Qt::ControlModifier) != 0;
    const int page = verticalScrollBar()->pageStep();
    int to = line;
    switch (event.key()) {
        case Qt::Key_Left:
            return static_cast<long long>(m_caret) - (m_caret > 0 ? 1 : 0);
        case Qt::Key_Right:
            return static_cast<long long>(std::min(m_caret + 1, m_text.size()));
        case Qt::Key_Home:
            return wholeText ? 0 : static_cast<long long>(start);
        case Qt::Key_End:
            return static_cast<long long>(wholeText ? m_text.size() : LineEnd(line));
        case Qt::Key_Up:
        case Qt::Key_Down:
            to += event.key() == Qt::Key_Up ? -1 : 1;
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            to += event.key() == Qt::Key_PageUp ? -page : page;
            break;
        default:
            return -1;
    }
    // The same column on another line, or that line's end.
    to = std::clamp(to, 0, LineCount() - 1);
    return static_cast<long long>(
        std::min(m_lineStarts[static_cast<std::size_t>(to)] + (m_caret - start), LineEnd(to)));
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
    mouseMoveEvent(event);
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        // A press starts a selection unless Shift holds it; a drag takes it along.
        const bool extend =
            event->type() == QEvent::MouseMove || (event->modifiers() & Qt::ShiftModifier) != 0;
        const std::size_t at = OffsetAt(event->position());
        Select(extend ? m_anchor : at, at);
        ShowOffset(at);
    }
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
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
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, [this] { Copy(); })
        ->setEnabled(m_anchor != m_caret);
    menu.addAction(QStringLiteral("Select All"), this, [this] { Select(0, m_text.size()); })
        ->setEnabled(!m_text.empty());
    if (!m_menuItems.empty()) {
        menu.addSeparator();
    }
    for (const MenuItem& item : m_menuItems) {
        menu.addAction(item.text, this, item.chosen)->setEnabled(item.available());
    }
    menu.exec(event->globalPos());
}

void LogView::scrollContentsBy(int, int) {
    viewport()->update();
}
