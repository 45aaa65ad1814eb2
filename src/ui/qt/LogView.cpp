#include "ui/qt/LogView.h"

#include "ui/qt/CachedScrollBarStyle.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogViewAccessible.h"

#include <cmath>
#include <cstdlib>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>

LogView::LogView(QWidget* parent)
    : QFrame(parent),
      m_down(new QScrollBar(Qt::Vertical, this)),
      m_across(new QScrollBar(Qt::Horizontal, this)) {
    [[maybe_unused]] static const bool accessible =
        (QAccessible::installFactory(&LogViewAccessible::For), true);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setLayoutDirection(Qt::LeftToRight);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    // A growing log's bars change on every tick, and Fusion draws them with gradients.
    const bool fusion = QApplication::style()->name() == QLatin1String("fusion");
    for (QScrollBar* bar : {m_down, m_across}) {
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::valueChanged, this, [this] { update(m_area); });
        if (fusion) {
            auto* style = new CachedScrollBarStyle(QStyleFactory::create(QStringLiteral("fusion")));
            style->setParent(bar);
            bar->setStyle(style);
        }
    }
    MeasureFont();
}

std::string LogView::Text() const {
    std::string text;
    text.reserve(m_text.size() + m_lineStarts.size());
    for (const char c : m_text) {
        text.append(c == '\n' ? "\r\n" : std::string_view(&c, 1));
    }
    return text;
}

void LogView::SetText(std::string_view text) {
    if (QAccessible::isActive()) {
        QAccessibleTextRemoveEvent removed(this, 0, FromLatin1Text(m_text));
        QAccessible::updateAccessibility(&removed);
    }
    m_text.clear();
    m_lineStarts.assign(1, 0);
    m_longestLine = 0;
    update(m_area);
    AppendText(text);
}

void LogView::AppendText(std::string_view text) {
    const int lastLine = LineCount() - 1;
    const std::size_t added = m_text.size();
    // Text ends at its first zero byte, as a zero-terminated string does; CR LF is one break.
    text = text.substr(0, text.find('\0'));
    m_text.reserve(m_text.size() + text.size());
    for (const char c : text) {
        if (c == '\n') {
            if (m_text.size() > m_lineStarts.back() && m_text.back() == '\r') {
                m_text.pop_back();
            }
            m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
            m_lineStarts.push_back(m_text.size() + 1);
        }
        m_text.push_back(c);
    }
    m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
    SizeScrollBars();
    // Only a view that shows where the text goes draws it, from the line it was added to on.
    if (m_down->value() == 0 && lastLine <= m_down->pageStep()) {
        const int top = static_cast<int>(LineTop(lastLine));
        update(QRect(m_area.left(), top, m_area.width(), (LineCount() - lastLine) * m_lineHeight) &
               m_area);
    }
    // Nothing selected, the caret and the view at the start; a bar that moves repaints the view.
    Select(0, 0);
    m_across->setValue(0);
    m_down->setValue(0);
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
    m_anchor = anchor;
    m_caret = caret;
    update(m_area);
    if (QAccessible::isActive()) {
        const auto [from, to] = Selection();
        QAccessibleTextSelectionEvent changed(this, static_cast<int>(from), static_cast<int>(to));
        changed.setCursorPosition(static_cast<int>(caret));
        QAccessible::updateAccessibility(&changed);
    }
}

void LogView::Copy(QClipboard::Mode mode) const {
    if (const auto [from, to] = Selection(); from != to) {
        QGuiApplication::clipboard()->setText(
            FromLatin1Text(std::string_view(m_text).substr(from, to - from)), mode);
    }
}

QRectF LogView::CharacterRect(std::size_t offset) const {
    offset = std::min(offset, m_text.size());
    const int line = LineOf(offset);
    return {LineLeft() + static_cast<qreal>(offset - LineStart(line)) * m_advance, LineTop(line),
            m_advance, static_cast<qreal>(m_lineHeight)};
}

std::size_t LogView::OffsetAt(QPointF point) const {
    const int first = m_down->value();
    const int below = static_cast<int>(std::floor((point.y() - LineTop(first)) / m_lineHeight));
    const int line = std::clamp(first + below, 0, LineCount() - 1);
    const qreal column = std::round((point.x() - LineLeft()) / m_advance);
    return std::min(LineStart(line) + static_cast<std::size_t>(std::max<qreal>(0, column)),
                    LineEnd(line));
}

void LogView::ShowOffset(std::size_t offset) {
    // The least scrolling that shows the line, and the cell with a margin on either side.
    const int line = LineOf(offset);
    m_down->setValue(std::clamp(m_down->value(), line - m_down->pageStep() + 1, line));
    const int x = static_cast<int>(static_cast<qreal>(offset - LineStart(line)) * m_advance);
    const int shown = x + static_cast<int>(std::ceil(m_advance + 2 * kMargin)) - m_area.width();
    m_across->setValue(std::min(x, std::max(m_across->value(), shown)));
}

void LogView::MeasureFont() {
    const QFontMetricsF metrics(font());
    m_advance = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char(' ')));
    m_ascent = metrics.ascent();
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_across->setSingleStep(static_cast<int>(std::ceil(m_advance)));
    m_font = QRawFont::fromFont(font());
    // Drawn from the raw font: the printable characters (not the soft hyphen, a format
    // character) the font has, each one cell wide; a line with any other takes the text layout.
    m_glyphs.fill(0);
    for (int c = ' '; c <= 0xFF; ++c) {
        const QChar character(c);
        const QList<quint32> glyphs = m_font.glyphIndexesForString(QString(character));
        if (character.isPrint() && m_font.supportsCharacter(character) && glyphs.size() == 1 &&
            metrics.horizontalAdvance(character) == m_advance) {
            m_glyphs[static_cast<std::size_t>(c)] = glyphs.front();
        }
    }
    LayOut();
}

void LogView::LayOut() {
    // The bars inside the frame, the text in the rest.
    const QRect inside = contentsRect();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int right = m_down->isVisibleTo(this) ? extent : 0;
    const int bottom = m_across->isVisibleTo(this) ? extent : 0;
    m_area = inside.adjusted(0, 0, -right, -bottom);
    m_down->setGeometry(m_area.right() + 1, inside.top(), right, m_area.height());
    m_across->setGeometry(inside.left(), m_area.bottom() + 1, m_area.width(), bottom);
    SizeScrollBars();
    update();
}

void LogView::SizeScrollBars() {
    // A page is the lines wholly shown below the top margin; the last page ends with the last
    // line. Across, the longest line and a margin on each side.
    const int lines = LineCount();
    const int page =
        std::clamp(static_cast<int>((m_area.height() - kMargin) / m_lineHeight), 0, lines);
    const int width =
        static_cast<int>(std::ceil(static_cast<qreal>(m_longestLine) * m_advance + 2 * kMargin));
    // A bar repaints on every page step it is given, even the one it has; a range only changes.
    for (const auto& [bar, maximum, step] :
         {std::tuple{m_down, lines - page, std::max(1, page)},
          {m_across, std::max(0, width - m_area.width()), std::max(1, m_area.width())}}) {
        bar->setRange(0, maximum);
        if (bar->pageStep() != step) {
            bar->setPageStep(step);
        }
    }
}

void LogView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = event->rect() & m_area;
    painter.setClipRect(area);
    painter.fillRect(area, palette().brush(QPalette::Base));
    int first = m_down->value();
    int last = first;
    for (; last < LineCount() && LineTop(last) <= area.bottom(); ++last) {
        first += LineTop(last) + m_lineHeight <= area.top() ? 1 : 0;
    }
    painter.setPen(palette().color(QPalette::Text));
    DrawLines(painter, first, last);
    // The selection over the text in the highlight's colours, a line's break one cell more.
    painter.setPen(palette().color(QPalette::HighlightedText));
    const auto [from, to] = Selection();
    for (int line = std::max(first, LineOf(from));
         from != to && line < std::min(last, LineOf(to) + 1); ++line) {
        const auto x = [&](std::size_t offset) {
            const std::size_t column = std::clamp(offset, LineStart(line), LineEnd(line) + 1);
            return LineLeft() + static_cast<qreal>(column - LineStart(line)) * m_advance;
        };
        const QRectF selected(x(from), LineTop(line), x(to) - x(from), m_lineHeight);
        painter.setClipRect(selected & QRectF(area));
        painter.fillRect(selected, palette().brush(QPalette::Highlight));
        DrawLines(painter, line, line + 1);
    }
    // The caret: one pixel at the left of its cell.
    if (hasFocus()) {
        painter.setClipRect(area);
        painter.fillRect(CharacterRect(m_caret).adjusted(0, 0, 1 - m_advance, 0),
                         palette().color(QPalette::Text));
    }
}

void LogView::DrawLines(QPainter& painter, int first, int last) const {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (int line = first; line < last; ++line) {
        const std::string_view text =
            std::string_view(m_text).substr(LineStart(line), LineEnd(line) - LineStart(line));
        const QPointF baseline(LineLeft(), LineTop(line) + m_ascent);
        if (std::any_of(text.begin(), text.end(),
                        [this](char c) { return m_glyphs[static_cast<unsigned char>(c)] == 0; })) {
            // Fallback fonts, tabs and controls as the text layout shows them.
            painter.drawText(baseline, FromLatin1Text(text));
            continue;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            // A space draws nothing.
            if (text[i] != ' ') {
                glyphs.append(m_glyphs[static_cast<unsigned char>(text[i])]);
                positions.append(baseline + QPointF(static_cast<qreal>(i) * m_advance, 0));
            }
        }
    }
    if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(), run);
    }
}

void LogView::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // A new frame resizes the contents, which lays them out; a new style may size the bars anew.
    if (event->type() == QEvent::FontChange) {
        MeasureFont();
    } else if (event->type() == QEvent::StyleChange) {
        LayOut();
    }
}

void LogView::keyPressEvent(QKeyEvent* event) {
    const int line = LineOf(m_caret);
    const bool wholeText = (event->modifiers() & Qt::ControlModifier) != 0;
    // The same column on a line above or below, or that line's end.
    const auto onLine = [&](int lines) {
        const int to = std::clamp(line + lines, 0, LineCount() - 1);
        return std::min(LineStart(to) + (m_caret - LineStart(line)), LineEnd(to));
    };
    const std::pair<int, std::size_t> moves[] = {
        {Qt::Key_Left, m_caret - (m_caret > 0 ? 1 : 0)},
        {Qt::Key_Right, std::min(m_caret + 1, m_text.size())},
        {Qt::Key_Home, wholeText ? 0 : LineStart(line)},
        {Qt::Key_End, wholeText ? m_text.size() : LineEnd(line)},
        {Qt::Key_Up, onLine(-1)},
        {Qt::Key_Down, onLine(1)},
        {Qt::Key_PageUp, onLine(-m_down->pageStep())},
        {Qt::Key_PageDown, onLine(m_down->pageStep())},
    };
    const auto* move = std::ranges::find(moves, event->key(), &std::pair<int, std::size_t>::first);
    if (event == QKeySequence::Copy) {
        Copy();
    } else if (event == QKeySequence::SelectAll) {
        Select(0, m_text.size());
    } else if (move != std::end(moves)) {
        Select((event->modifiers() & Qt::ShiftModifier) != 0 ? m_anchor : move->second,
               move->second);
        ShowOffset(move->second);
    } else {
        QFrame::keyPressEvent(event);
    }
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
    if (event->button() == Qt::LeftButton && QGuiApplication::clipboard()->supportsSelection()) {
        Copy(QClipboard::Selection);
    }
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_text.empty()) {
        return;
    }
    const auto isWord = [](char c) {
        return QChar(static_cast<unsigned char>(c)).isLetterOrNumber() || c == '_';
    };
    std::size_t from = std::min(OffsetAt(event->position()), m_text.size() - 1);
    std::size_t to = from + 1;
    if (isWord(m_text[from])) {
        while (from > 0 && isWord(m_text[from - 1])) {
            --from;
        }
        while (to < m_text.size() && isWord(m_text[to])) {
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
    // A menu hides a separator that ends it.
    menu.addSeparator();
    for (const auto& [text, available, chosen] : m_menuItems) {
        menu.addAction(text, this, chosen)->setEnabled(available());
    }
    menu.exec(event->globalPos());
}

void LogView::wheelEvent(QWheelEvent* event) {
    const QPoint turned = event->angleDelta();
    QCoreApplication::sendEvent(std::abs(turned.x()) > std::abs(turned.y()) ? m_across : m_down,
                                event);
}
