#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QMessageBox>
#include <QObject>

// What a message box showed.
struct ShownMessageBox {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    QMessageBox::Icon icon;
    bool owned;  // kept above a window of the program
};

// While one exists (the one made before comes back when it goes), every message box the
// program shows is recorded as it appears and closed with its OK button after its event loop
// has run for the hold time, or as soon as the close condition holds. The box is the
// program's own and runs its real nested event loop meanwhile; the program knows nothing of
// the observer.
class MessageBoxObserver : public QObject {
public:
    explicit MessageBoxObserver(std::chrono::milliseconds holdTime = std::chrono::milliseconds{0});
    ~MessageBoxObserver() override;
    MessageBoxObserver(const MessageBoxObserver&) = delete;
    MessageBoxObserver& operator=(const MessageBoxObserver&) = delete;

    // Checked while a box is open; the hold time then only bounds how long a box stays.
    void CloseWhen(std::function<bool()> condition);

    const std::vector<ShownMessageBox>& Shown() const { return m_shown; }

protected:
    // Sees every event of the application, and with it each box as it shows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Observe(QMessageBox& box);

    std::chrono::milliseconds m_holdTime;
    std::function<bool()> m_closeCondition;
    std::vector<ShownMessageBox> m_shown;
    MessageBoxObserver* m_previous;
};
