#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtControls.h"

#include <numeric>
#include <string>
#include <tuple>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace {

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class TerminalWindowLogView : public TerminalWindowTest {
protected:
    QPlainTextEdit& LogEditor() {
        return dynamic_cast<LogView&>(*QtControl(*m_dlg, kIdLogView)).Editor();
    }
};

TEST_F(TerminalWindowLogView, SixteenItemsALineAreOneLineOfTheViewAndTextShowsLatin1) {
    Run([&] {
        ASSERT_TRUE(m_device.Give(Sequence(17, 0xE0)));
        EXPECT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 17; }));
        EXPECT_EQ(LogEditor().document()->blockCount(), 2);
        Choose(kIdLogFormat, kLineFormatText);
        EXPECT_TRUE(WaitUntil([&] { return LogEditor().toPlainText().size() == 17; }));
        EXPECT_EQ(LogEditor().toPlainText(), QStringLiteral("àáâãäåæçèéêëìíîïð"));
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

        QPlainTextEdit& view = LogEditor();
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

TEST_F(TerminalWindowLogView, BytesThatLengthenTheLogBringTheViewBackToTheStartAsANewLogDoes) {
    Run([&] {
        for (const auto& [shown, anchor, scrolled] :
             {std::tuple{516, 0, true}, {1032, 60, false}}) {
            ASSERT_TRUE(m_device.Give(Sequence(500)));
            ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == shown - 16; }));
            QPlainTextEdit& view = LogEditor();
            QTextCursor cursor(view.document());
            cursor.setPosition(anchor);
            cursor.setPosition(0, QTextCursor::KeepAnchor);
            view.setTextCursor(cursor);
            view.verticalScrollBar()->setValue(scrolled ? view.verticalScrollBar()->maximum() : 0);
            ASSERT_TRUE(m_device.Give(Sequence(16)));
            ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == shown; }));
            EXPECT_FALSE(LogEditor().textCursor().hasSelection()) << anchor;
            EXPECT_EQ(LogEditor().verticalScrollBar()->value(), 0) << anchor;
        }
        Click(kIdCancel);
    });
}

}  // namespace
