#include "FileBytes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TextModeReader::ReadBytes BytesAsFile(std::string bytes) {
    auto position = std::make_shared<std::size_t>(0);
    return [bytes = std::move(bytes), position](char* buffer, std::size_t size) {
        const std::size_t count = bytes.copy(buffer, size, *position);
        *position += count;
        return count;
    };
}

std::string OtherEntry(const std::string& folder, const std::string& known) {
    std::string other;
    for (const std::string& name : FolderEntries(folder)) {
        if (name != known) {
            if (!other.empty()) {
                return {};
            }
            other = name;
        }
    }
    return other;
}
