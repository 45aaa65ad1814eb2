#include "params/DiskFile.h"
#include "params/InputFile.h"
#include "win32/WideText.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE AsHandle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& path) {
    Close();
    const std::wstring widePath = WideFromUtf8(path);
    if (widePath.empty()) {
        return false;
    }
    // Shared with nobody while it is open. A folder does not open this way.
    const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (!IsDiskFile(reinterpret_cast<std::intptr_t>(file))) {
        CloseHandle(file);
        return false;
    }
    m_file = reinterpret_cast<std::intptr_t>(file);
    return true;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    if (m_file == kNoFile) {
        return 0;
    }
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    DWORD count = 0;
    if (!ReadFile(AsHandle(m_file), buffer, wanted, &count, nullptr)) {
        return 0;
    }
    return count;
}

void InputFile::Close() {
    if (m_file != kNoFile) {
        CloseHandle(AsHandle(m_file));
        m_file = kNoFile;
    }
}
