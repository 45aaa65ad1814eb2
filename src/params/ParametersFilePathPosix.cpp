#include "params/ParametersFilePath.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kPathSeparator = '/';

}  // namespace

std::string ParametersFilePath() {
    // Grown until the directory fits: a deep working folder must not lose its file.
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    std::string path(buffer.data());
    if (path.empty() || path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    path += kParametersFileName;
    return path;
}
