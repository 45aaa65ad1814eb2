#pragma once

#include "support/TemporaryFolder.h"
#include "support/WorkingDirectory.h"

#include <filesystem>

// A fresh, empty folder made the process's current directory for one test, so that the
// parameters file the window reads and writes there is the test's own. Afterwards the
// previous directory comes back and the folder is removed with everything in it.
class TemporaryWorkingDirectory {
public:
    TemporaryWorkingDirectory() : m_cwd(m_folder.Path()) {}

    std::filesystem::path Path() const { return m_folder.Path(); }

private:
    // Declared first: the folder must outlive the time it is the current directory.
    TemporaryFolder m_folder;
    WorkingDirectory m_cwd;
};
