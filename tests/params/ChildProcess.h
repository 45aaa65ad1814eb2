#pragma once

#include <functional>
#include <string>

// Some cases need a process of their own: one that dies part-way through a save, and, since
// permission checks do not apply to root and the tests run as root in CI, one that has given
// up its privileges.

// The user and group an unprivileged child becomes when the tests run as root.
constexpr unsigned kUnprivilegedId = 65534;

// Exit statuses of the child beyond those its body returns.
constexpr int kChildSetupFailed = 120;
constexpr int kChildDiedAbnormally = 121;

// Runs `body` in a forked child and returns its exit status: `body`'s result, or
// kChildDiedAbnormally when the child did not exit normally.
int RunInChildProcess(const std::function<int()>& body);

// The same, in a child that first becomes the unprivileged user when started as root
// (kChildSetupFailed when it cannot).
int RunAsUnprivilegedUser(const std::function<int()>& body);

// Hands `path` to the unprivileged user when running as root, so that its child owns it.
void GiveToUnprivilegedUser(const std::string& path);
