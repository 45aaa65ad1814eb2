#pragma once

#include <string>

// A fresh folder for one test, removed with everything in it (read-only parts included)
// when the test ends. Any user may reach it, so a test's unprivileged child can work in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();

    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // `name` inside the folder.
    std::string operator/(const std::string& name) const { return m_path + '/' + name; }

private:
    std::string m_path;
};
