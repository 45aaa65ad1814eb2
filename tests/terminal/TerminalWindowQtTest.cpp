#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "codec/ModbusCrc16.h"
#include "terminal/LogRendering.h"
#include "ui/qt/QtControls.h"

#include <numeric>
#include <string>
#include <tuple>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class TerminalWindowLogView : public TerminalWindowTest {
protected:
    QAbstractScrollArea& Log() {
        return *static_cast<QAbstractScrollArea*>(QtControl(*m_dlg, kIdLogView));
    }
    std::pair<int, int> Selection() {
        int start = 0;
        int end = 0;
        m_dlg->GetEditSel(kIdLogView, start, end);
        return {start, end};
    }
    // As a user: to the start, Right to `start`, Shift+Right to `end` (offsets of the window's
    // text, whose line breaks are two characters and one step of the caret).
    void SelectInLog(int start, int end) {
        Log().setFocus();
        QTest::keyClick(&Log(), Qt::Key_Home, Qt::ControlModifier);
        while (Selection().second < start) {
            QTest::keyClick(&Log(), Qt::Key_Right);
        }
        while (Selection().second < end) {
            QTest::keyClick(&Log(), Qt::Key_Right, Qt::ShiftModifier);
        }
    }
    // Opens the log's context menu from the keyboard and chooses the item; false, with the
    // menu closed, where it is missing or disabled.
    bool ChooseLogMenuItem(const QString& text) {
        bool chosen = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* item : menu->actions()) {
                if (item->text() == text && item->isEnabled()) {
                    menu->setActiveAction(item);
                    chosen = true;
                }
            }
            QTest::keyClick(menu, chosen ? Qt::Key_Return : Qt::Key_Escape);
        });
        QContextMenuEvent open(QContextMenuEvent::Keyboard, QPoint(1, 1),
                               Log().viewport()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(Log().viewport(), &open);
        return chosen;
    }
};

TEST_F(TerminalWindowLogView, SixteenItemsALineAreOneLineOfTheViewAndTextShowsLatin1) {
    Run([&] {
        ASSERT_TRUE(m_device.Give(Sequence(17, 0xE0)));
        EXPECT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 17; }));
        EXPECT_EQ(Log().verticalScrollBar()->maximum() + Log().verticalScrollBar()->pageStep(), 2);
        Choose(kIdLogFormat, kLineFormatText);
        QAccessibleTextInterface& text =
            *QAccessible::queryAccessibleInterface(&Log())->textInterface();
        EXPECT_TRUE(WaitUntil([&] { return text.characterCount() == 17; }));
        EXPECT_EQ(text.text(0, 17), QStringLiteral("àáâãäåæçèéêëìíîïð"));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLogView, IdleTicksLeaveTheTextItsScrollPositionAndSelectionAlone) {
    Run([&] {
        const Bytes bytes = Sequence(1000);
        ASSERT_TRUE(m_device.Give(bytes));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 1000; }));
        // Also once a format change has been shown: it asks for one rendering only.
        Choose(kIdLogFormat, kLineFormatDec);
        ASSERT_TRUE(LogShows(RenderReceiveLog(bytes.data(), 1000, kLineFormatDec)));

        SelectInLog(200, 260);
        QScrollBar& scroll = *Log().verticalScrollBar();
        ASSERT_GT(scroll.maximum(), 10);
        scroll.setValue(scroll.maximum() / 2);
        const int position = scroll.value();
        ASSERT_TRUE(WaitForPolls(3));
        EXPECT_EQ(Selection(), std::pair(200, 260));
        EXPECT_EQ(scroll.value(), position);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLogView, BytesThatLengthenTheLogBringTheViewBackToTheStartAsANewLogDoes) {
    Run([&] {
        for (const auto& [shown, anchor, scrolled] :
             {std::tuple{516, 0, true}, {1032, 60, false}}) {
            ASSERT_TRUE(m_device.Give(Sequence(500)));
            ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == shown - 16; }));
            SelectInLog(anchor, 6);
            QScrollBar& lines = *Log().verticalScrollBar();
            lines.setValue(scrolled ? lines.maximum() : 0);
            ASSERT_TRUE(m_device.Give(Sequence(16)));
            ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == shown; }));
            EXPECT_EQ(Selection(), std::pair(0, 0)) << anchor;
            EXPECT_EQ(lines.value(), 0) << anchor;
        }
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLogView, ContextMenuChecksTheModbusCrcOfTheWholeBytesSelected) {
    Run([&] {
        Bytes frame = {0x11, 0x03, 0x02, 0x00, 0x0A, 0, 0, 0x42};
        const std::uint16_t crc = ModbusCrc16(frame.data(), 5);
        frame[5] = static_cast<std::uint8_t>(crc & 0xFF);
        frame[6] = static_cast<std::uint8_t>(crc >> 8);
        ASSERT_TRUE(m_device.Give(frame));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 8; }));
        const std::uint16_t wrong = ModbusCrc16(frame.data(), 3);
        const std::uint8_t wrongBytes[] = {static_cast<std::uint8_t>(wrong & 0xFF),
                                           static_cast<std::uint8_t>(wrong >> 8)};
        std::string wrongText = RenderReceiveLog(wrongBytes, 2, kLineFormatHex);
        wrongText.resize(6);
        // All seven bytes with their CRC, from the first digit to the last; two whole bytes
        // (and part of a third); five bytes, whose last two are no CRC of the three before.
        for (const auto& [start, end, message] :
             {std::tuple{0, 26, std::string("Modbus CRC correct")},
              {5, 14, std::string()},
              {0, 18,
               "Modbus CRC wrong: the last two bytes are 00  0a, the bytes before them "
               "have the CRC " +
                   wrongText + "."}}) {
            const std::size_t before = Messages().size();
            SelectInLog(start, end);
            EXPECT_EQ(ChooseLogMenuItem(QStringLiteral("Check Modbus CRC")), !message.empty())
                << start << " " << end;
            const std::vector<std::string> shown = Messages();
            ASSERT_EQ(shown.size(), before + (message.empty() ? 0 : 1));
            if (!message.empty()) {
                EXPECT_EQ(shown.back(), message);
            }
        }
        // Copy and Select All are the log's own.
        EXPECT_TRUE(ChooseLogMenuItem(QStringLiteral("Select All")));
        EXPECT_EQ(Selection(), std::pair(0, static_cast<int>(LogText().size())));
        Click(kIdCancel);
    });
}

}  // namespace
