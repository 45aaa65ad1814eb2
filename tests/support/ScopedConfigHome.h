#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A private configuration folder for one test: created empty in the temporary folder and
// made this process's $XDG_CONFIG_HOME while the object lives. Afterwards the previous value
// (or its absence) is put back and the folder is removed with everything in it. One at a
// time; tests that use it run on one thread.
class ScopedConfigHome {
public:
    ScopedConfigHome();  // throws std::system_error when the folder cannot be made
    ~ScopedConfigHome();

    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // <config home>/quenlark/ports, where the COM port links live; not made until needed.
    std::filesystem::path PortsFolder() const;

private:
    std::filesystem::path m_path;
    std::optional<std::string> m_previous;
};
