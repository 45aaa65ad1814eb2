#pragma once

#include <functional>

class QWidget;

// Helpers for tests that drive windows running modally. Nothing here waits for a given time:
// a hang guard only stops a test that would otherwise never end.

// Runs step(window) inside the event loop of the next window that runs modally, once it is
// shown and is the active modal window. Message boxes, which a MessageBoxObserver closes,
// are passed over.
void OnNextModalWindow(std::function<void(QWidget&)> step);

// Runs a real event loop until the condition holds; false if it still does not hold when the
// hang guard runs out.
bool WaitUntil(const std::function<bool()>& condition);

// While one exists, a test whose modal windows never close fails after a generous time and
// has its modal windows closed, so that it ends.
class ModalHangGuard {
public:
    ModalHangGuard();
    ~ModalHangGuard();
    ModalHangGuard(const ModalHangGuard&) = delete;
    ModalHangGuard& operator=(const ModalHangGuard&) = delete;

private:
    class Watch;
    Watch* m_watch;
};
