#include "params/DiskFile.h"
#include "terminal/CaptureFile.h"
#include "win32/SystemErrorText.h"
#include "win32/WideText.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE AsHandle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

// The system's text, or the code where it has none.
std::string SystemText(DWORD code) {
    const std::string text = SystemErrorText(code);
    return text.empty() ? "Error " + std::to_string(code) : text;
}

}  // namespace

CaptureFile::~CaptureFile() {
    Close();
}

bool CaptureFile::Open(const std::string& path) {
    Close();
    m_path = path;
    const std::wstring widePath = WideFromUtf8(path);
    if (widePath.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return Fail();
    }
    // Append access only: every write goes to the end, whatever else writes there. Others may
    // read the file meanwhile.
    const HANDLE file = CreateFileW(widePath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail();
    }
    if (!IsDiskFile(reinterpret_cast<std::intptr_t>(file))) {
        CloseHandle(file);
        m_errorText = kNoDiskFileText;
        return false;
    }
    m_file = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool CaptureFile::Write(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
        DWORD written = 0;
        if (!WriteFile(AsHandle(m_file), bytes, wanted, &written, nullptr)) {
            return Fail();
        }
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return Fail();
        }
        bytes += written;
        count -= written;
    }
    return true;
}

void CaptureFile::Close() {
    if (m_file != kNoFile) {
        CloseHandle(AsHandle(m_file));
        m_file = kNoFile;
    }
}

bool CaptureFile::Fail() {
    m_errorText = SystemText(GetLastError());
    return false;
}
