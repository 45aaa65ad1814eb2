#include "support/TemporaryWorkingDirectory.h"

#include <cerrno>
#include <stdlib.h>
#include <string>
#include <system_error>

TemporaryWorkingDirectory::TemporaryWorkingDirectory()
    : m_previous(std::filesystem::current_path()) {
    std::string pattern = std::filesystem::temp_directory_path() / "quenlark-terminal-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

TemporaryWorkingDirectory::~TemporaryWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}
