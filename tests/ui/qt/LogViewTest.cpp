#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/QtControls.h"

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QClipboard>
#include <QDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The room the log leaves between its frame and the text, left and above the first line.
constexpr qreal kMargin = 4;

QAbstractScrollArea& LogOf(const TemplateDialog& dialog) {
    return *static_cast<QAbstractScrollArea*>(QtControl(dialog, kIdLogView));
}

// The log's lines as the painter's own text layout draws them, one below the other.
QImage DrawnByTextLayout(const QAbstractScrollArea& log, const std::string& text, QSize size) {
    QImage image(size * log.devicePixelRatio(), QImage::Format_RGB32);
    image.setDevicePixelRatio(log.devicePixelRatio());
    image.fill(log.palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setFont(log.font());
    painter.setPen(log.palette().color(QPalette::Text));
    const QFontMetricsF metrics(log.font());
    const int top = log.verticalScrollBar()->value();
    qreal y = top == 0 ? kMargin : 0;
    const QStringList lines = FromLatin1Text(text).split(QStringLiteral("\r\n"));
    for (qsizetype line = top; line < lines.size(); ++line) {
        painter.drawText(
            QPointF(kMargin - log.horizontalScrollBar()->value(), y + metrics.ascent()),
            lines[line]);
        y += std::ceil(metrics.lineSpacing());
    }
    return image;
}

TEST(LogView, DrawsItsLinesWhereTheTextLayoutDrawsThem) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    QAbstractScrollArea& log = LogOf(dialog);
    std::string hex;
    for (int i = 0; i < 600; ++i) {
        hex += i % 16 == 15 ? "a5  \r\n" : "a5  ";
    }
    std::string latin1;
    for (int c = ' '; c <= 0xFF; ++c) {
        // Printable Latin-1, the soft hyphen aside (below).
        if (c < 0x7F || (c >= 0xA0 && c != 0xAD)) {
            latin1 += static_cast<char>(c);
        }
    }
    // A Hex page at the top and further down, a long Text line scrolled across, and lines
    // with a tab, a soft hyphen, a control and a character the font may lack.
    for (const auto& [text, top, left] : {std::tuple{hex, 0, 0},
                                          {hex, 17, 0},
                                          {latin1 + latin1 + "\r\n" + hex, 0, 300},
                                          {std::string("a\tb\r\nc\xAD"
                                                       "d\r\n\x01\x9F"
                                                       "e"),
                                           0, 0},
                                          {std::string(), 0, 0}}) {
        dialog.SetDlgItemText(kIdLogView, text);
        log.verticalScrollBar()->setValue(top);
        log.horizontalScrollBar()->setValue(left);
        const QImage drawn = log.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(drawn, DrawnByTextLayout(log, text, log.viewport()->size()))
            << top << " " << left << " " << text.substr(0, 10);
    }
}

TEST(LogView, SelectsOnTheCharacterGridWithKeysAndMouseAndCopiesWhatItSelects) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    QAbstractScrollArea& log = LogOf(dialog);
    QWidget& view = *log.viewport();
    const QAccessibleTextInterface& text =
        *QAccessible::queryAccessibleInterface(&log)->textInterface();
    const auto cell = [&](int offset) {
        return view.mapFromGlobal(text.characterRect(offset).center());
    };
    const auto keys = [&](std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> list) {
        return [&log, list] {
            for (const auto& [key, modifiers] : list) {
                QTest::keyClick(&log, key, modifiers);
            }
        };
    };
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const std::string shown = "00  01  02  03\r\n04  05  06  07\r\n08";
    const std::vector<std::tuple<std::function<void()>, std::string>> cases = {
        {[&] {
             QTest::mousePress(&view, Qt::LeftButton, {}, cell(0) - QPoint(2, 0));
             QTest::mouseMove(&view, cell(6) - QPoint(2, 0));
             QTest::mouseRelease(&view, Qt::LeftButton, {}, cell(6) - QPoint(2, 0));
         },
         "00  01"},
        {[&] { QTest::mouseDClick(&view, Qt::LeftButton, {}, cell(19)); }, "05"},
        {keys({{Qt::Key_Right, shift}, {Qt::Key_Right, shift}}), "00"},
        {keys({{Qt::Key_Down, shift}}), "00  01  02  03\r\n"},
        {keys({{Qt::Key_End, shift}}), "00  01  02  03"},
        {keys({{Qt::Key_End, ctrl}, {Qt::Key_Home, shift}}), "08"},
        {keys({{Qt::Key_End, ctrl}, {Qt::Key_Up, shift}}), "  05  06  07\r\n08"},
        {keys({{Qt::Key_PageDown, shift}}), "00  01  02  03\r\n04  05  06  07\r\n"},
        {keys({{Qt::Key_End, ctrl}, {Qt::Key_PageUp, shift}}),
         "  01  02  03\r\n04  05  06  07\r\n08"},
        {keys({{Qt::Key_End, ctrl | shift}}), shown},
        {keys({{Qt::Key_Right, {}}, {Qt::Key_Right, shift}, {Qt::Key_Left, {}}}), ""},
        {keys({{Qt::Key_A, ctrl}}), shown},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [act, selected] = cases[i];
        dialog.SetDlgItemText(kIdLogView, shown);
        log.setFocus();
        QGuiApplication::clipboard()->clear();
        act();
        EXPECT_EQ(SelectedText(dialog, kIdLogView), selected) << i;
        QTest::keyClick(&log, Qt::Key_C, ctrl);
        QString copied = FromLatin1Text(selected);
        copied.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), copied) << i;
    }
}

}  // namespace
