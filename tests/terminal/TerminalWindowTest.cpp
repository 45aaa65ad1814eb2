#include "TerminalWindowTest.h"

#include "support/WindowTestDriver.h"

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::unique_ptr<CTerminalDlg> TerminalWindowTest::MakeWindow() {
    return std::make_unique<CTerminalDlg>(
        nullptr, [this] { return std::make_unique<SpySerialDevice>(m_calls); });
}

int TerminalWindowTest::Run(CTerminalDlg& dlg, const std::function<void()>& steps,
                            std::uint8_t port) {
    OnNextModalWindow(steps);
    dlg.m_byPort = port;
    return dlg.DoModal();
}

void TerminalWindowTest::Click(int id) {
    ::Click(*m_dlg, id);
}

void TerminalWindowTest::Type(int editId, std::string_view text) {
    ::Type(*m_dlg, editId, text);
}

void TerminalWindowTest::Choose(int comboId, int index) {
    ::Choose(*m_dlg, comboId, index);
    ASSERT_EQ(m_dlg->ComboGetCurSel(comboId), index);
}

void TerminalWindowTest::TypeToWindow(char c) {
    ::TypeToWindow(*m_dlg, c);
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
