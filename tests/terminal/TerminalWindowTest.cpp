#include "TerminalWindowTest.h"

#include "ui/qt/QtControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::unique_ptr<CTerminalDlg> TerminalWindowTest::MakeWindow() {
    return std::make_unique<CTerminalDlg>(
        nullptr, [this] { return std::make_unique<SpySerialDevice>(m_calls); });
}

int TerminalWindowTest::Run(CTerminalDlg& dlg, const std::function<void()>& steps,
                            std::uint8_t port) {
    OnNextModalWindow([steps](QWidget&) { steps(); });
    dlg.m_byPort = port;
    return dlg.DoModal();
}

void TerminalWindowTest::Click(int id) {
    QTest::mouseClick(QtControl(*m_dlg, id), Qt::LeftButton);
}

void TerminalWindowTest::Type(int editId, std::string_view text) {
    auto* edit = static_cast<QLineEdit*>(QtControl(*m_dlg, editId));
    edit->setFocus();
    edit->selectAll();
    if (text.empty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit,
                         QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void TerminalWindowTest::Choose(int comboId, int index) {
    // Onto the entry from its neighbour with an arrow key, the way the keyboard picks an
    // entry; getting to the neighbour notifies nobody, as the open list's highlight does not.
    QWidget* combo = QtControl(*m_dlg, comboId);
    combo->setFocus();
    if (index == 0) {
        m_dlg->ComboSetCurSel(comboId, 1);
        QTest::keyClick(combo, Qt::Key_Up);
    } else {
        m_dlg->ComboSetCurSel(comboId, index - 1);
        QTest::keyClick(combo, Qt::Key_Down);
    }
    ASSERT_EQ(m_dlg->ComboGetCurSel(comboId), index);
}

void TerminalWindowTest::TypeToWindow(char c) {
    if (QWidget* focus = QtWindow(*m_dlg).focusWidget()) {
        focus->clearFocus();
    }
    QTest::keyClick(&QtWindow(*m_dlg), c);
}

::testing::AssertionResult TerminalWindowTest::LogShows(const std::string& expected) const {
    if (WaitUntil([&] { return LogText() == expected; })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the log shows \"" << LogText() << '"';
}

bool TerminalWindowTest::WaitForPolls(std::size_t ticks) const {
    const std::size_t target = m_calls.Count("ReadAvailable") + ticks;
    return WaitUntil([&] { return m_calls.Count("ReadAvailable") >= target; });
}

std::vector<std::string> TerminalWindowTest::Messages() const {
    std::vector<std::string> texts;
    for (const ShownMessageBox& box : m_observer.Shown()) {
        texts.push_back(box.text);
    }
    return texts;
}
