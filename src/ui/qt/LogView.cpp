#include "ui/qt/LogView.h"

#include "ui/qt/CachedScrollBarStyle.h"
#include "ui/qt/Latin1Text.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
// Qt fills an area this tall or taller on its thread pool and waits for it; the background
// is filled in bands below it, which gives the same pixels.
constexpr int kFillBand = 64;
// The editor shows a soft hyphen only where it breaks a line, which a log's lines never do.
constexpr unsigned char kSoftHyphen = 0xAD;

// The editor holds its lines apart with "\n"; the program writes and reads "\r\n".
QString FromEditLineBreaks(const QPlainTextEdit& edit) {
    // Raw text, so that a no-break space stays one.
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
}

// Changes the editor's text and leaves it as setPlainText does: no undo step, unmodified, the
// caret at the start, nothing selected and the view scrolled to show it. The layout tells the
// editor of the document's size once, when the change is done, so the scroll bars change (and
// repaint) only if the size did; lines are laid out when they are shown, and the editor
// repaints only when asked to.
template <typename Change>
void ChangeText(QPlainTextEdit& editor, bool repaint, Change change) {
    QTextDocument& document = *editor.document();
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    layout.blockSignals(true);
    change(document);
    layout.blockSignals(false);
    document.setUndoRedoEnabled(undo);
    emit layout.documentSizeChanged(layout.documentSize());
    if (repaint) {
        editor.viewport()->update();
    }
    document.setModified(false);
    editor.horizontalScrollBar()->setValue(0);
    // Putting back a caret that is already at the start, shown and unselected would change
    // nothing but repaint it; with the focus the caret also starts a new blink, so it goes back.
    const QTextCursor caret = editor.textCursor();
    if (editor.hasFocus() || caret.position() != 0 || caret.anchor() != 0 ||
        editor.verticalScrollBar()->value() != 0) {
        editor.setTextCursor(QTextCursor(&document));
    }
}

}  // namespace

LogView::LogView(QPlainTextEdit* editor, QWidget* parent)
    : QAbstractScrollArea(parent), m_editor(editor), m_focusPolicy(editor->focusPolicy()) {
    m_editor->setParent(this);
    m_editor->hide();
    setFont(m_editor->font());
    setFrameStyle(m_editor->frameStyle());
    setFocusPolicy(m_focusPolicy);
    setVerticalScrollBarPolicy(m_editor->verticalScrollBarPolicy());
    setHorizontalScrollBarPolicy(m_editor->horizontalScrollBarPolicy());
    viewport()->setCursor(m_editor->viewport()->cursor());
    // The background is filled by paintEvent.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_margin = m_editor->document()->documentMargin();

    // Fusion is the style known to draw a scroll bar's groove and slider apart from the rest.
    const QString styleName = QApplication::style()->name();
    const bool cacheLooks = styleName == QLatin1String("fusion");
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        CachedScrollBarStyle* cachedStyle = nullptr;
        if (cacheLooks) {
            cachedStyle = new CachedScrollBarStyle(QStyleFactory::create(styleName));
            cachedStyle->setParent(this);
        }
        for (QAbstractScrollArea* area : {static_cast<QAbstractScrollArea*>(this),
                                          static_cast<QAbstractScrollArea*>(m_editor)}) {
            QScrollBar* bar = orientation == Qt::Horizontal ? area->horizontalScrollBar()
                                                            : area->verticalScrollBar();
            // The scroll bars are always on or always off, so a new range never shows or
            // hides one; left connected, every new range would lay the view out again and
            // raise, and so repaint, both scroll bars.
            QObject::disconnect(bar, SIGNAL(rangeChanged(int, int)), area,
                                SLOT(_q_showOrHideScrollBars()));
            if (cachedStyle != nullptr) {
                bar->setStyle(cachedStyle);
            }
        }
    }
    horizontalScrollBar()->setSingleStep(m_editor->horizontalScrollBar()->singleStep());
    verticalScrollBar()->setSingleStep(m_editor->verticalScrollBar()->singleStep());
    MeasureFont();
}

std::string LogView::Text() const {
    if (!m_drawn) {
        return ToLatin1Text(FromEditLineBreaks(*m_editor));
    }
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
    m_text.clear();
    m_lineStarts.assign(1, 0);
    m_longestLine = 0;
    m_drawable = true;
    AddToLines(text);
    if (MayDraw()) {
        Draw();
    } else if (m_drawn) {
        ScrollToStart();
        Editor();
    } else {
        // Qt's own replacing lets go of the caret first too: kept, the new text would carry
        // it to the end, and moving it back to the start would lay out every line on the way.
        m_editor->setTextCursor(QTextCursor());
        ChangeText(*m_editor, true,
                   [&](QTextDocument& document) { document.setPlainText(FromLatin1Text(m_text)); });
    }
}

void LogView::AppendText(std::string_view text) {
    const int lastLine = LineCount() - 1;
    const std::size_t added = m_text.size();
    AddToLines(text);
    if (MayDraw()) {
        const QScrollBar& lines = *verticalScrollBar();
        Draw(lines.value() == 0 && lastLine <= lines.pageStep());
    } else if (m_drawn) {
        ScrollToStart();
        Editor();
    } else {
        QTextCursor end(m_editor->document());
        end.movePosition(QTextCursor::End);
        // Unwrapped, a line is a block: the view shows its top line and a page of lines below
        // it, the last of them perhaps in part.
        const QScrollBar& lines = *m_editor->verticalScrollBar();
        const bool endShown = end.blockNumber() <= lines.value() + lines.pageStep();
        // The view repaints only when it shows where the new lines go.
        ChangeText(*m_editor, endShown, [&](QTextDocument&) {
            end.insertText(FromLatin1Text(std::string_view(m_text).substr(added)));
        });
    }
}

QPlainTextEdit& LogView::Editor() {
    if (m_drawn) {
        const int left = horizontalScrollBar()->value();
        const int top = verticalScrollBar()->value();
        m_drawn = false;
        m_editor->setGeometry(rect());
        m_editor->show();
        m_editor->setTextCursor(QTextCursor());
        ChangeText(*m_editor, true, [&](QTextDocument& document) {
            document.setPlainText(FromLatin1Text(m_text));
            // The editor's width is that of the lines it has laid out; the view's, of all.
            for (QTextBlock line = document.firstBlock(); line.isValid(); line = line.next()) {
                document.documentLayout()->blockBoundingRect(line);
            }
        });
        m_editor->horizontalScrollBar()->setValue(left);
        m_editor->verticalScrollBar()->setValue(top);
        // The focus now goes to the editor; kept, the view would take it back from the editor
        // when the user tabs backwards.
        setFocusPolicy(Qt::NoFocus);
    }
    return *m_editor;
}

bool LogView::MayDraw() const {
    return m_drawable && m_editor->isReadOnly() && !m_editor->hasFocus();
}

void LogView::Draw(bool repaint) {
    if (!m_drawn) {
        m_drawn = true;
        m_editor->hide();
        setFocusPolicy(m_focusPolicy);
        repaint = true;
    }
    SizeScrollBars();
    ScrollToStart();
    if (repaint) {
        viewport()->update();
    }
}

void LogView::ScrollToStart() {
    // A scroll bar that moves repaints the view itself.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void LogView::AddToLines(std::string_view text) {
    m_text.reserve(m_text.size() + text.size());
    std::size_t lineStart = m_lineStarts.back();
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t lineFeed = text.find(kLineFeed, from);
        std::size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        if (lineFeed != std::string_view::npos && end > from && text[end - 1] == kCarriageReturn) {
            --end;
        }
        const std::string_view part = text.substr(from, end - from);
        m_drawable = m_drawable && std::all_of(part.begin(), part.end(), [this](char c) {
                         return m_drawableChars[static_cast<unsigned char>(c)];
                     });
        m_text.append(part);
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

void LogView::MeasureFont() {
    m_font = QRawFont::fromFont(font());
    // A line is laid out as the editor lays out each of its lines.
    const auto layOut = [this](const QString& text) {
        QTextLayout layout(text, font());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLeadingIncluded(true);
        layout.endLayout();
        return std::tuple{line.naturalTextWidth(), line.ascent(), line.height()};
    };
    const auto [spaceWidth, ascent, height] = layOut(QStringLiteral(" "));
    m_advance = spaceWidth;
    m_ascent = ascent;
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(height)));
    // Drawn are the printable characters the font itself has, each one space wide.
    m_drawableChars.fill(false);
    for (int c = ' '; c <= 0xFF; ++c) {
        const QChar character(c);
        if (!character.isPrint() || c == kSoftHyphen || !m_font.supportsCharacter(character)) {
            continue;
        }
        const QList<quint32> glyphs = m_font.glyphIndexesForString(QString(character));
        if (glyphs.size() == 1 && std::get<0>(layOut(QString(character))) == m_advance) {
            m_glyphs[static_cast<std::size_t>(c)] = glyphs.front();
            m_drawableChars[static_cast<std::size_t>(c)] = true;
        }
    }
    m_drawable = std::all_of(m_text.begin(), m_text.end(), [this](char c) {
        return c == kLineFeed || m_drawableChars[static_cast<unsigned char>(c)];
    });
}

void LogView::SizeScrollBars() {
    // As the editor: a page is the lines wholly shown below the top margin, and the last page
    // ends with the last line; across, the longest line and both margins.
    const int lines = LineCount();
    const qreal room = viewport()->height() - m_margin - 1;
    const int page = std::min(lines, room > 0 ? static_cast<int>(room / m_lineHeight) : 0);
    verticalScrollBar()->setRange(0, lines - page);
    verticalScrollBar()->setPageStep(page);
    const int width =
        static_cast<int>(static_cast<qreal>(m_longestLine) * m_advance + 2 * m_margin);
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

int LogView::LineCount() const {
    return static_cast<int>(m_lineStarts.size());
}

void LogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QBrush background = viewport()->palette().brush(QPalette::Base);
    for (int top = area.top(); top <= area.bottom(); top += kFillBand) {
        painter.fillRect(area.left(), top, area.width(),
                         std::min(kFillBand, area.bottom() + 1 - top), background);
    }
    const int firstLine = verticalScrollBar()->value();
    const qreal left = m_margin - horizontalScrollBar()->value();
    m_glyphIndexes.clear();
    m_glyphPositions.clear();
    for (int line = firstLine; line < LineCount(); ++line) {
        // As in the editor, the top margin is above the first line only.
        const qreal top = (firstLine == 0 ? m_margin : 0) + (line - firstLine) * m_lineHeight;
        if (top > area.bottom()) {
            break;
        }
        if (top + m_lineHeight <= area.top()) {
            continue;
        }
        const auto index = static_cast<std::size_t>(line);
        const std::size_t begin = m_lineStarts[index];
        const std::size_t end =
            index + 1 < m_lineStarts.size() ? m_lineStarts[index + 1] - 1 : m_text.size();
        for (std::size_t i = begin; i < end; ++i) {
            // A space draws nothing.
            if (m_text[i] != ' ') {
                m_glyphIndexes.append(m_glyphs[static_cast<unsigned char>(m_text[i])]);
                m_glyphPositions.append(
                    QPointF(left + static_cast<qreal>(i - begin) * m_advance, top + m_ascent));
            }
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
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_editor->setGeometry(rect());
    SizeScrollBars();
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    // The font the view is made with is measured once it is made.
    if (event->type() == QEvent::FontChange && m_font.isValid()) {
        m_editor->setFont(font());
        MeasureFont();
        SizeScrollBars();
        if (m_drawn && !m_drawable) {
            Editor();
        }
        viewport()->update();
    }
}

void LogView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    Editor().setFocus(event->reason());
}

bool LogView::viewportEvent(QEvent* event) {
    // A click into the view gave the editor the focus and the text before the press arrived;
    // the press and the rest of the drag still come here, and go on to the editor.
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_passingMouse = !m_drawn;
            [[fallthrough]];
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (m_passingMouse) {
                const auto& mouse = *static_cast<QMouseEvent*>(event);
                QMouseEvent passed(mouse.type(), mouse.position(), mouse.scenePosition(),
                                   mouse.globalPosition(), mouse.button(), mouse.buttons(),
                                   mouse.modifiers(), mouse.pointingDevice());
                QCoreApplication::sendEvent(m_editor->viewport(), &passed);
                m_passingMouse = mouse.buttons() != Qt::NoButton;
                return true;
            }
            break;
        case QEvent::ContextMenu:
            if (!m_drawn) {
                const auto& menu = *static_cast<QContextMenuEvent*>(event);
                QContextMenuEvent passed(menu.reason(), menu.pos(), menu.globalPos(),
                                         menu.modifiers());
                QCoreApplication::sendEvent(m_editor->viewport(), &passed);
                return true;
            }
            break;
        default:
            break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void LogView::scrollContentsBy(int, int) {
    viewport()->update();
}
