#pragma once

#include <filesystem>

// A fresh, empty folder made the process's current directory for one test, so that the
// parameters file the window reads and writes there is the test's own. Afterwards the
// previous directory comes back and the folder is removed with everything in it.
class TemporaryWorkingDirectory {
public:
    TemporaryWorkingDirectory();  // throws std::system_error when the folder cannot be made
    ~TemporaryWorkingDirectory();

    TemporaryWorkingDirectory(const TemporaryWorkingDirectory&) = delete;
    TemporaryWorkingDirectory& operator=(const TemporaryWorkingDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};
