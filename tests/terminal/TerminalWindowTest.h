#pragma once

#include "SpySerialDevice.h"
#include "res/TerminalTemplate.h"
#include "support/MessageBoxObserver.h"
#include "support/ModalTestDriver.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"
#include "support/TemporaryWorkingDirectory.h"
#include "terminal/CTerminalDlg.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text);

// The real terminal window on a pseudo-terminal linked as COM7, in a fresh current directory
// (so the parameters file is the test's own) with a private config home. The test plays the
// device on the pty's master end and drives the window as a user does: it types into the
// fields, clicks the buttons and picks selector entries. Message boxes are recorded and
// closed at once.
class TerminalWindowTest : public ::testing::Test {
protected:
    static constexpr std::uint8_t kPort = 7;

    // A new window whose channel talks to the system through a spy on m_calls.
    std::unique_ptr<CTerminalDlg> MakeWindow();
    // Runs `dlg` modally on `port`, with `steps` inside its modal loop once it shows.
    int Run(CTerminalDlg& dlg, const std::function<void()>& steps, std::uint8_t port = kPort);
    int Run(const std::function<void()>& steps) { return Run(*m_dlg, steps); }

    void Click(int id);
    // Replaces the field's text by typing, as a user does after selecting all of it.
    void Type(int editId, std::string_view text);
    // The user's choice of entry `index` in a selector, which notifies the window.
    void Choose(int comboId, int index);
    // A character typed while the window itself, not one of its controls, has the focus.
    void TypeToWindow(char c);

    std::string Text(int id) const { return m_dlg->GetDlgItemText(id); }
    std::string LogText() const { return m_dlg->GetDlgItemText(kIdLogView); }
    // Waits for the log view to show `expected`; false (with the text it shows) if it never
    // does within the hang guard.
    ::testing::AssertionResult LogShows(const std::string& expected) const;
    // Waits until the window has polled the port `ticks` more times.
    bool WaitForPolls(std::size_t ticks) const;
    std::vector<std::string> Messages() const;

    TemporaryWorkingDirectory m_cwd;
    ScopedConfigHome m_home;
    PtyPort m_pty{m_home, kPort};
    ModalHangGuard m_guard;
    MessageBoxObserver m_observer;
    SerialCallLog m_calls;
    std::unique_ptr<CTerminalDlg> m_dlg = MakeWindow();
};
