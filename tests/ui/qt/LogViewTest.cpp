#include "res/TerminalTemplate.h"
#include "support/WindowTestDriver.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/CachedScrollBarStyle.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtControls.h"

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <QAccessibleTextInterface>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The log's lines as the painter's own text layout draws them, below a margin of 4 pixels at
// the top and left.
QImage DrawnByTextLayout(const LogView& log, const std::string& text) {
    QImage image(log.TextArea().size() * log.devicePixelRatio(), QImage::Format_RGB32);
    image.setDevicePixelRatio(log.devicePixelRatio());
    image.fill(log.palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setFont(log.font());
    const QFontMetricsF metrics(log.font());
    const QStringList lines = FromLatin1Text(text).split(QStringLiteral("\r\n"));
    const int top = log.VerticalScrollBar()->value();
    for (int line = top; line < lines.size(); ++line) {
        const qreal y = (top == 0 ? 4 : 0) + (line - top) * std::ceil(metrics.lineSpacing());
        painter.drawText(QPointF(4 - log.HorizontalScrollBar()->value(), y + metrics.ascent()),
                         lines[line]);
    }
    return image;
}

TEST(LogView, DrawsItsLinesWhereTheTextLayoutDrawsThem) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    auto& log = *static_cast<LogView*>(QtControl(dialog, kIdLogView));
    std::string hex;
    for (int i = 0; i < 600; ++i) {
        hex += i % 16 == 15 ? "a5  \r\n" : "a5  ";
    }
    std::string latin1;
    for (int c = ' '; c <= 0xFF; ++c) {
        latin1 += c < 0x7F || c >= 0xA0 ? std::string(1, static_cast<char>(c)) : "";
    }
    // A Hex page at the top and further down, a long line scrolled across, and lines with a
    // tab, a soft hyphen, controls and characters the font may lack.
    for (const auto& [text, top, left] : {std::tuple{hex, 0, 0},
                                          {hex, 17, 0},
                                          {latin1 + latin1 + "\r\n" + hex, 0, 300},
                                          {std::string("a\tb\r\nc\xAD"
                                                       "d\r\n\x01\x9F"),
                                           0, 0}}) {
        dialog.SetDlgItemText(kIdLogView, text);
        log.VerticalScrollBar()->setValue(top);
        log.HorizontalScrollBar()->setValue(left);
        EXPECT_EQ(log.grab(log.TextArea()).toImage().convertToFormat(QImage::Format_RGB32),
                  DrawnByTextLayout(log, text))
            << top << " " << left;
    }
}

TEST(LogView, SelectsOnTheCharacterGridWithKeysAndMouseAndCopiesWhatItSelects) {
    TemplateDialog dialog(kTerminalTemplate);
    QtWindow(dialog).show();
    auto& log = *static_cast<LogView*>(QtControl(dialog, kIdLogView));
    const QAccessibleTextInterface& text =
        *QAccessible::queryAccessibleInterface(&log)->textInterface();
    const auto cell = [&](int offset) {
        return log.mapFromGlobal(text.characterRect(offset).topLeft()) + QPoint(0, 2);
    };
    using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const std::string shown = "00  01  02  03\r\n04  05  06  07\r\n08";
    // Keys after the mouse: a drag, or a double click on a word.
    for (const auto& [drag, keys, selected] : std::vector<std::tuple<int, Keys, std::string>>{
             {6, {}, "00  01"},
             {-19, {}, "05"},
             {0, {{Qt::Key_Right, shift}, {Qt::Key_Right, shift}}, "00"},
             {0, {{Qt::Key_Down, shift}}, "00  01  02  03\r\n"},
             {0, {{Qt::Key_End, shift}}, "00  01  02  03"},
             {0, {{Qt::Key_End, ctrl}, {Qt::Key_Home, shift}}, "08"},
             {0, {{Qt::Key_End, ctrl}, {Qt::Key_Up, shift}}, "  05  06  07\r\n08"},
             {0, {{Qt::Key_PageDown, shift}}, "00  01  02  03\r\n04  05  06  07\r\n"},
             {0, {{Qt::Key_End, ctrl}, {Qt::Key_PageUp, shift}}, shown.substr(2)},
             {0, {{Qt::Key_Right, {}}, {Qt::Key_Right, shift}, {Qt::Key_Left, {}}}, ""},
             {0, {{Qt::Key_A, ctrl}}, shown},
         }) {
        dialog.SetDlgItemText(kIdLogView, shown);
        log.setFocus();
        QGuiApplication::clipboard()->clear();
        if (drag > 0) {
            QTest::mousePress(&log, Qt::LeftButton, {}, cell(0));
            QTest::mouseMove(&log, cell(drag));
            QTest::mouseRelease(&log, Qt::LeftButton, {}, cell(drag));
        } else if (drag < 0) {
            QTest::mouseDClick(&log, Qt::LeftButton, {}, cell(-drag));
        }
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(&log, key, modifiers);
        }
        EXPECT_EQ(SelectedText(dialog, kIdLogView), selected);
        // A line break selected shows as a highlighted cell, on every line of the selection.
        const QImage drawn = log.grab().toImage();
        for (std::size_t at = log.Selection().first; at < log.Selection().second; ++at) {
            const QPoint middle =
                (log.CharacterRect(at).center() * log.devicePixelRatio()).toPoint();
            EXPECT_TRUE(log.Lines()[at] != '\n' ||
                        drawn.pixelColor(middle) == log.palette().color(QPalette::Highlight));
        }
        QTest::keyClick(&log, Qt::Key_C, ctrl);
        EXPECT_EQ(QGuiApplication::clipboard()->text(),
                  FromLatin1Text(selected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

TEST(LogView, ScrollBarsCopyTheirLooksAsFusionDrawsThemAtEveryPixelRatio) {
    TemplateDialog dialog(kTerminalTemplate);
    auto& log = *static_cast<LogView*>(QtControl(dialog, kIdLogView));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    for (QScrollBar* bar : {log.VerticalScrollBar(), log.HorizontalScrollBar()}) {
        QStyle* const kept = bar->style();
        ASSERT_NE(dynamic_cast<CachedScrollBarStyle*>(kept), nullptr);
        // The same slider again elsewhere in the bar, at other ratios, in another palette.
        for (const auto& [maximum, value, ratio, button] :
             {std::tuple{100, 50, 1, QColor(Qt::lightGray)},
              {100, 0, 1, QColor(Qt::lightGray)},
              {100, 50, 5, QColor(Qt::lightGray)},
              {7, 3, 7, QColor(Qt::lightGray)},
              {7, 3, 2, QColor(Qt::darkCyan)}}) {
            bar->setRange(0, maximum);
            bar->setValue(value);
            bar->setPalette(QPalette(button));
            const auto drawn = [&, ratio = ratio] {
                QImage image(bar->size() * ratio, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(ratio);
                image.fill(Qt::transparent);
                bar->render(&image);
                return image;
            };
            drawn();
            const QImage copied = drawn();
            bar->setStyle(fusion.get());
            EXPECT_EQ(copied, drawn()) << maximum << " " << value << " " << ratio;
            bar->setStyle(kept);
        }
    }
}

}  // namespace
