#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtControls.h"

#include <numeric>
#include <string>
#include <tuple>

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QScrollBar>

namespace {

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class TerminalWindowLogView : public TerminalWindowTest {
protected:
    LogView& Log() { return *static_cast<LogView*>(QtControl(*m_dlg, kIdLogView)); }
    // What assistive technology reads and selects, offsets counting a line break once.
    QAccessibleTextInterface& Text() {
        return *QAccessible::queryAccessibleInterface(&Log())->textInterface();
    }
};

TEST_F(TerminalWindowLogView, SixteenItemsALineAreOneLineOfTheViewAndTextShowsLatin1) {
    Run([&] {
        ASSERT_TRUE(m_device.Give(Sequence(17, 0xE0)));
        EXPECT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 17; }));
        EXPECT_EQ(Log().VerticalScrollBar()->maximum() + Log().VerticalScrollBar()->pageStep(), 2);
        Choose(kIdLogFormat, kLineFormatText);
        EXPECT_TRUE(WaitUntil([&] { return Text().characterCount() == 17; }));
        EXPECT_EQ(Text().text(0, 17), QStringLiteral("àáâãäåæçèéêëìíîïð"));
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

        Text().setSelection(0, 200, 260);
        QScrollBar& scroll = *Log().VerticalScrollBar();
        ASSERT_GT(scroll.maximum(), 10);
        scroll.setValue(scroll.maximum() / 2);
        const int position = scroll.value();

        ASSERT_TRUE(WaitForPolls(3));
        int start = 0, end = 0;
        Text().selection(0, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(200, 260));
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
            Text().setSelection(0, anchor, 0);
            QScrollBar& lines = *Log().VerticalScrollBar();
            lines.setValue(scrolled ? lines.maximum() : 0);
            ASSERT_TRUE(m_device.Give(Sequence(16)));
            ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == shown; }));
            EXPECT_EQ(Text().selectionCount(), 0) << anchor;
            EXPECT_EQ(lines.value(), 0) << anchor;
        }
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLogView, ContextMenuChecksTheModbusCrcOfTheWholeBytesSelected) {
    Run([&] {
        ASSERT_TRUE(m_device.Give(Bytes{0x11, 0x03, 0x02, 0x00, 0x0A, 0xF9, 0x80}));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 7; }));
        // The seven bytes; two whole bytes and part of a third; five bytes, whose last two
        // are no CRC of the three before them.
        for (const auto& [start, end, message] :
             {std::tuple{0, 26, std::string("Modbus CRC correct")},
              {5, 14, ""},
              {0, 18,
               "Modbus CRC wrong: the last two bytes are 00  0a, the bytes before them have the "
               "CRC a0  f4."}}) {
            const std::size_t before = Messages().size();
            Text().setSelection(0, start, end);
            EXPECT_EQ(ChooseEditMenuItem(*m_dlg, kIdLogView, "Check Modbus CRC"), !message.empty());
            EXPECT_EQ(Messages().size() > before ? Messages().back() : "", message);
        }
        Click(kIdCancel);
    });
}

}  // namespace
