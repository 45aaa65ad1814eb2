#include "support/WorkingDirectory.h"

#include <filesystem>

WorkingDirectory::WorkingDirectory(const std::string& folder)
    : m_previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code error;
    std::filesystem::current_path(m_previous, error);
}
