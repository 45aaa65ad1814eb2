#include "support/TemporaryFolder.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

TemporaryFolder::TemporaryFolder() {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kNameAttempts && m_path.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("quenlark-test-" + std::to_string(random()));
        // False when the name is taken; the folder is this test's own only when it made it.
        if (fs::create_directory(candidate)) {
            m_path = candidate.string();
        }
    }
    if (m_path.empty()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code error;
    // A test may have left a folder or a file read-only; they could not be removed then.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, error);
    for (auto it = fs::recursive_directory_iterator(m_path, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::remove_all(m_path, error);
}
