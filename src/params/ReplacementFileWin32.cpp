#include "params/ReplacementFile.h"
#include "params/TemporaryName.h"
#include "win32/WideText.h"

#include <algorithm>
#include <windows.h>

namespace {

constexpr int kNameAttempts = 100;
// On disk before the call returns, like the content before it.
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
// The move would replace these too, or fail only after the new content is written.
constexpr DWORD kNotReplaced =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;

HANDLE AsHandle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Open(const std::string& path) {
    Discard();
    m_target = path;
    const std::wstring target = WideFromUtf8(m_target);
    if (target.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            return false;
        }
    } else if ((attributes & kNotReplaced) != 0) {
        return false;
    }

    // In the same folder, so that the move is a rename on one volume.
    const std::size_t nameStart = m_target.find_last_of("\\/:") + 1;
    const std::string folder = m_target.substr(0, nameStart);
    const std::string name = m_target.substr(nameStart);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = folder + TemporaryNameFor(name);
        const HANDLE file = CreateFileW(WideFromUtf8(candidate).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_file = reinterpret_cast<std::intptr_t>(file);
            m_temporaryPath = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (m_file == kNoFile) {
        return false;
    }
    while (!bytes.empty()) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
        DWORD written = 0;
        if (!WriteFile(AsHandle(m_file), bytes.data(), wanted, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReplacementFile::Commit(const BeforeReplace& beforeReplace) {
    if (m_file == kNoFile) {
        return false;
    }
    bool ready = FlushFileBuffers(AsHandle(m_file)) != 0;
    // A failed close may mean the content never reached the file, so it fails the save too.
    ready = CloseHandle(AsHandle(m_file)) != 0 && ready;
    m_file = kNoFile;
    if (ready && beforeReplace) {
        ready = beforeReplace();
    }
    if (!ready || !MoveFileExW(WideFromUtf8(m_temporaryPath).c_str(),
                               WideFromUtf8(m_target).c_str(), kMoveFlags)) {
        Discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void ReplacementFile::Discard() {
    if (m_file != kNoFile) {
        CloseHandle(AsHandle(m_file));
        m_file = kNoFile;
    }
    if (!m_temporaryPath.empty()) {
        DeleteFileW(WideFromUtf8(m_temporaryPath).c_str());
        m_temporaryPath.clear();
    }
}
