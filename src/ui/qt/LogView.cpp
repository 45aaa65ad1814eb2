#include "ui/qt/LogView.h"

#include "ui/qt/CachedScrollBarStyle.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogViewAccessible.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>

namespace {

// Room between the frame and the text, left and above the first line.
constexpr qreal kMargin = 4;

bool IsWordCharacter(char c) {
    return QChar(static_cast<unsigned char>(c)).isLetterOrNumber() || c == '_';
}

}  // namespace

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
    // A growing log gives its scroll bar a new range on every tick; Fusion draws groove and
    // slider with gradients, so the bars' looks are kept and copied.
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
    AddToLines(text);
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
    const bool selected = m_anchor != m_caret || anchor != caret;
    m_anchor = anchor;
    m_caret = caret;
    if (selected || hasFocus()) {
        update(m_area);
    }
    if (QAccessible::isActive()) {
        QAccessibleTextSelectionEvent changed(this, static_cast<int>(std::min(anchor, caret)),
                                              static_cast<int>(std::max(anchor, caret)));
        changed.setCursorPosition(static_cast<int>(caret));
        QAccessible::updateAccessibility(&changed);
    }
}

void LogView::Copy(QClipboard::Mode mode) const {
    const std::size_t from = std::min(m_anchor, m_caret);
    // The clipboard ends lines with "\n" and gives them to other programs as the system ends them.
    if (m_anchor != m_caret) {
        QGuiApplication::clipboard()->setText(FromLatin1Text(std::string_view(m_text).substr(
                                                  from, std::max(m_anchor, m_caret) - from)),
                                              mode);
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

void LogView::AddMenuItem(const QString& text, std::function<bool()> available,
                          std::function<void()> chosen) {
    auto* item = new QAction(text, this);
    connect(item, &QAction::triggered, this, std::move(chosen));
    m_menuItems.emplace_back(item, std::move(available));
}

void LogView::AddToLines(std::string_view text) {
    // Text ends at its first zero byte, as a zero-terminated string does.
    text = text.substr(0, text.find('\0'));
    m_text.reserve(m_text.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') {
            m_text.push_back(text[i]);
            continue;
        }
        if (i > 0 && text[i - 1] == '\r') {
            m_text.pop_back();
        }
        m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
        m_text.push_back('\n');
        m_lineStarts.push_back(m_text.size());
    }
    m_longestLine = std::max(m_longestLine, m_text.size() - m_lineStarts.back());
}

void LogView::MeasureFont() {
    const QFontMetricsF metrics(font());
    m_advance = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char(' ')));
    m_ascent = metrics.ascent();
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_across->setSingleStep(static_cast<int>(std::ceil(m_advance)));
    m_font = QRawFont::fromFont(font());
    // Drawn from the raw font: the printable characters (not the soft hyphen, a format
    // character) the font itself has, each one cell wide.
    m_glyphs.fill(0);
    for (int c = ' '; c <= 0xFF; ++c) {
        const QChar character(c);
        const QList<quint32> glyphs = m_font.glyphIndexesForString(QString(character));
        if (character.isPrint() && m_font.supportsCharacter(character) && glyphs.size() == 1 &&
            metrics.horizontalAdvance(character) == m_advance) {
            m_glyphs[static_cast<std::size_t>(c)] = glyphs.front();
        }
    }
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

int LogView::LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return static_cast<int>(after - m_lineStarts.begin()) - 1;
}

qreal LogView::LineTop(int line) const {
    const int first = m_down->value();
    // The margin is above the first line only.
    return m_area.top() + (first == 0 ? kMargin : 0) + (line - first) * m_lineHeight;
}

qreal LogView::LineLeft() const {
    return m_area.left() + kMargin - m_across->value();
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
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (int line = first; line < last; ++line) {
        const std::string_view text = LineText(line);
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
    // The selection over the text, in the highlight's colours.
    painter.setPen(palette().color(QPalette::HighlightedText));
    for (int line = first; line < last && m_anchor != m_caret; ++line) {
        const auto x = [&](std::size_t offset) {
            const std::size_t column = std::clamp(offset, LineStart(line), LineEnd(line) + 1);
            return LineLeft() + static_cast<qreal>(column - LineStart(line)) * m_advance;
        };
        const qreal from = x(std::min(m_anchor, m_caret));
        const QRectF selected(from, LineTop(line), x(std::max(m_anchor, m_caret)) - from,
                              m_lineHeight);
        painter.fillRect(selected, palette().brush(QPalette::Highlight));
        painter.setClipRect(selected & QRectF(area));
        painter.drawText(QPointF(LineLeft(), LineTop(line) + m_ascent),
                         FromLatin1Text(LineText(line)));
    }
    if (hasFocus()) {
        const QRectF caret = CharacterRect(m_caret);
        painter.setClipRect(area);
        painter.fillRect(QRectF(caret.topLeft(), QSizeF(1, caret.height())),
                         palette().color(QPalette::Text));
    }
}

void LogView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    LayOut();
}

void LogView::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        MeasureFont();
    }
    // A new frame resizes the contents, which lays them out; a new style may size the bars anew.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        LayOut();
    }
}

long long LogView::MovedCaret(const QKeyEvent& event) const {
    const int line = LineOf(m_caret);
    const bool wholeText = (event.modifiers() & Qt::ControlModifier) != 0;
    int to = line;
    switch (event.key()) {
        case Qt::Key_Left:
            return static_cast<long long>(m_caret) - (m_caret > 0 ? 1 : 0);
        case Qt::Key_Right:
            return static_cast<long long>(std::min(m_caret + 1, m_text.size()));
        case Qt::Key_Home:
            return wholeText ? 0 : static_cast<long long>(LineStart(line));
        case Qt::Key_End:
            return static_cast<long long>(wholeText ? m_text.size() : LineEnd(line));
        case Qt::Key_Up:
        case Qt::Key_Down:
            to += event.key() == Qt::Key_Up ? -1 : 1;
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            to += event.key() == Qt::Key_PageUp ? -m_down->pageStep() : m_down->pageStep();
            break;
        default:
            return -1;
    }
    // The same column on another line, or that line's end.
    to = std::clamp(to, 0, LineCount() - 1);
    return static_cast<long long>(
        std::min(LineStart(to) + (m_caret - LineStart(line)), LineEnd(to)));
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
        QFrame::keyPressEvent(event);
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
    if (event->button() == Qt::LeftButton && QGuiApplication::clipboard()->supportsSelection()) {
        Copy(QClipboard::Selection);
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
    for (const auto& [item, available] : m_menuItems) {
        item->setEnabled(available());
        menu.addAction(item);
    }
    menu.exec(event->globalPos());
}

void LogView::wheelEvent(QWheelEvent* event) {
    const QPoint turned = event->angleDelta();
    QCoreApplication::sendEvent(std::abs(turned.x()) > std::abs(turned.y()) ? m_across : m_down,
                                event);
}
