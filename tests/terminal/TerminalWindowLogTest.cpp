#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"
#include "ui/qt/QtControls.h"

#include <chrono>
#include <fcntl.h>
#include <numeric>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

namespace {

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::string Rendered(const Bytes& bytes, int format) {
    return RenderReceiveLog(bytes.data(), static_cast<int>(bytes.size()), format);
}

// Waits, without running the event loop (so no tick can take part of them), until `count`
// bytes wait in the line's input queue; false if they never do within the hang guard.
bool AllArrived(int queue, std::size_t count) {
    const auto started = std::chrono::steady_clock::now();
    int waiting = 0;
    while (::ioctl(queue, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) < count) {
        if (std::chrono::steady_clock::now() - started > PtyPort::kHangGuard) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return static_cast<std::size_t>(waiting) >= count;
}

class TerminalWindowLog : public TerminalWindowTest {
protected:
    QPlainTextEdit& LogView() {
        return *static_cast<QPlainTextEdit*>(QtControl(*m_dlg, kIdLogView));
    }
};

TEST_F(TerminalWindowLog, ReceivedBytesShowInHexAndAgainInEachFormatPicked) {
    Run([&] {
        ASSERT_TRUE(m_pty.WriteToMaster(Bytes{0x41, 0x0D, 0x0A, 0x42, 0x00}));
        EXPECT_TRUE(LogShows("41  0d  0a  42  00  "));

        struct Row {
            int format;
            std::string shown;
        };
        const Row rows[] = {
            {kLineFormatDec, "065  013  010  066  000  "},
            {kLineFormatText, "A\r\n\r\nB"},
            {kLineFormatHex, "41  0d  0a  42  00  "},
        };
        for (const Row& row : rows) {
            Choose(kIdLogFormat, row.format);
            EXPECT_TRUE(LogShows(row.shown)) << row.format;
        }
        EXPECT_EQ(m_dlg->m_nShown, 5);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, SixteenItemsALineAndLatin1InText) {
    Run([&] {
        const Bytes bytes = Sequence(17, 0xE0);
        ASSERT_TRUE(m_pty.WriteToMaster(bytes));
        EXPECT_TRUE(
            LogShows("e0  e1  e2  e3  e4  e5  e6  e7  e8  e9  ea  eb  ec  ed  ee  ef  \r\nf0  "));
        EXPECT_EQ(LogView().document()->blockCount(), 2);

        Choose(kIdLogFormat, kLineFormatText);
        EXPECT_TRUE(LogShows(std::string(bytes.begin(), bytes.end())));
        EXPECT_EQ(LogView().toPlainText(), QStringLiteral("àáâãäåæçèéêëìíîïð"));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, ClearEmptiesTheViewAndTheNextBytesStartANewLog) {
    Run([&] {
        ASSERT_TRUE(m_pty.WriteToMaster("AB"));
        ASSERT_TRUE(LogShows("41  42  "));
        Click(kIdClearButton);
        EXPECT_EQ(LogText(), "");
        EXPECT_EQ(m_dlg->m_nFill, 0);
        EXPECT_EQ(m_dlg->m_nShown, 0);
        ASSERT_TRUE(m_pty.WriteToMaster("C"));
        EXPECT_TRUE(LogShows("43  "));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, LogStartsAgainWhenItWouldReach2048Bytes) {
    Run([&] {
        const Bytes first(2000, 0x11);
        ASSERT_TRUE(m_pty.WriteToMaster(first));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 2000; }));
        EXPECT_EQ(LogText(), Rendered(first, kLineFormatHex));

        Bytes held = first;
        const Bytes more(47, 0x22);
        held.insert(held.end(), more.begin(), more.end());
        ASSERT_TRUE(m_pty.WriteToMaster(more));
        EXPECT_TRUE(LogShows(Rendered(held, kLineFormatHex)));

        // A format change shows the same 2047 bytes again.
        Choose(kIdLogFormat, kLineFormatDec);
        EXPECT_TRUE(LogShows(Rendered(held, kLineFormatDec)));

        ASSERT_TRUE(m_pty.WriteToMaster(Bytes{0x33}));
        EXPECT_TRUE(LogShows("051  "));
        EXPECT_EQ(m_dlg->m_nFill, 1);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, OnePollOf2048BytesShowsThemAllAndAFormatChangeKeepsThem) {
    // A second look at the line's input queue, taken before the window's exclusive open.
    const int queue = ::open(m_pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(queue, 0);
    Run([&] {
        // No tick runs until this step returns, so the next one finds all 2048 waiting.
        const Bytes bytes = Sequence(kRxPollBytes);
        ASSERT_TRUE(m_pty.WriteToMaster(bytes));
        ASSERT_TRUE(AllArrived(queue, bytes.size()));
        // Taken in two polls, the second would have started the log again.
        EXPECT_TRUE(LogShows(Rendered(bytes, kLineFormatHex)));
        EXPECT_EQ(m_dlg->m_nShown, kRxPollBytes);

        Choose(kIdLogFormat, kLineFormatDec);
        EXPECT_TRUE(LogShows(Rendered(bytes, kLineFormatDec)));

        ASSERT_TRUE(m_pty.WriteToMaster(Bytes{0x07}));
        EXPECT_TRUE(LogShows("007  "));
        Click(kIdCancel);
    });
    ::close(queue);
}

TEST_F(TerminalWindowLog, IdleTicksLeaveTheTextItsScrollPositionAndSelectionAlone) {
    Run([&] {
        const Bytes bytes = Sequence(1000);
        ASSERT_TRUE(m_pty.WriteToMaster(bytes));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 1000; }));
        // Also once a format change has been shown: it asks for one rendering only.
        Choose(kIdLogFormat, kLineFormatDec);
        ASSERT_TRUE(LogShows(Rendered(bytes, kLineFormatDec)));

        QPlainTextEdit& view = LogView();
        int rewrites = 0;
        QObject::connect(view.document(), &QTextDocument::contentsChanged, &view,
                         [&rewrites] { ++rewrites; });
        QTextCursor cursor = view.textCursor();
        cursor.setPosition(200);
        cursor.setPosition(260, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        QScrollBar& scroll = *view.verticalScrollBar();
        ASSERT_GT(scroll.maximum(), 10);
        scroll.setValue(scroll.maximum() / 2);
        const int position = scroll.value();

        ASSERT_TRUE(WaitForPolls(3));
        EXPECT_EQ(rewrites, 0);
        EXPECT_EQ(view.textCursor().selectionStart(), 200);
        EXPECT_EQ(view.textCursor().selectionEnd(), 260);
        EXPECT_EQ(scroll.value(), position);
        QObject::disconnect(view.document(), nullptr, &view, nullptr);
        Click(kIdCancel);
    });
}

}  // namespace
