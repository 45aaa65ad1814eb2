#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

// What the port-selection window needs of the terminal window it opens on "Start": one is
// made per start, given the port number, run modally and destroyed.
class TerminalWindow {
public:
    virtual ~TerminalWindow() = default;
    // Written after construction and before the modal run.
    virtual void SetPort(std::uint8_t port) = 0;
    virtual int DoModal() = 0;
};

// A dialog class with a port number member m_byPort and DoModal(), as a TerminalWindow.
template <class Dialog>
class TerminalWindowOf final : public TerminalWindow {
public:
    template <class... Args>
    explicit TerminalWindowOf(Args&&... args) : m_dialog(std::forward<Args>(args)...) {}

    void SetPort(std::uint8_t port) override { m_dialog.m_byPort = port; }
    int DoModal() override { return m_dialog.DoModal(); }
    Dialog& Window() { return m_dialog; }

private:
    Dialog m_dialog;
};

using TerminalWindowFactory = std::function<std::unique_ptr<TerminalWindow>()>;

// A new terminal window of the program, with no parent window.
std::unique_ptr<TerminalWindow> MakeTerminalWindow();
// The same, capturing what its port receives into `captureFile` from its first tick (into
// nothing when it is empty).
std::unique_ptr<TerminalWindow> MakeCapturingTerminalWindow(const std::string& captureFile);
