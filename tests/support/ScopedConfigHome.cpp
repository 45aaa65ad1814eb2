#include "support/ScopedConfigHome.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace {

constexpr const char* kVariable = "XDG_CONFIG_HOME";

}  // namespace

ScopedConfigHome::ScopedConfigHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quenlark-test-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    m_path = pattern;
    if (const char* previous = std::getenv(kVariable)) {
        m_previous = previous;
    }
    ::setenv(kVariable, m_path.c_str(), 1);
}

ScopedConfigHome::~ScopedConfigHome() {
    if (m_previous) {
        ::setenv(kVariable, m_previous->c_str(), 1);
    } else {
        ::unsetenv(kVariable);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path ScopedConfigHome::PortsFolder() const {
    return m_path / "quenlark" / "ports";
}
