#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QMessageBox>

// What a message box showed.
struct ShownMessageBox {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    QMessageBox::Icon icon;
    bool owned;  // kept above a window of the program
};

// For tests: while one is installed (from construction to destruction; the one installed
// before comes back afterwards), every message box is recorded, shown, and closed with its OK
// button after its event loop has run for the hold time, or as soon as the close condition
// holds. The box is real and runs its real nested event loop meanwhile.
class MessageBoxObserver {
public:
    explicit MessageBoxObserver(std::chrono::milliseconds holdTime = std::chrono::milliseconds{0});
    ~MessageBoxObserver();
    MessageBoxObserver(const MessageBoxObserver&) = delete;
    MessageBoxObserver& operator=(const MessageBoxObserver&) = delete;

    // Checked while a box is open; the hold time then only bounds how long a box stays.
    void CloseWhen(std::function<bool()> condition);

    const std::vector<ShownMessageBox>& Shown() const { return m_shown; }

    static MessageBoxObserver* Installed();
    // Records the box, runs it and closes it.
    void Run(QMessageBox& box);

private:
    std::chrono::milliseconds m_holdTime;
    std::function<bool()> m_closeCondition;
    std::vector<ShownMessageBox> m_shown;
    MessageBoxObserver* m_previous;
};
