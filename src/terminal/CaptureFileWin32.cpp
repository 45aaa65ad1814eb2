#include "params/DiskFile.h"
#include "terminal/CaptureFile.h"
#include "win32/WideText.h"

#include <algorithm>
#include <windows.h>

namespace {

constexpr DWORD kFormatFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

HANDLE AsHandle(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

std::string SystemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(kFormatFlags, nullptr, code, 0,
                                        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return "Error " + std::to_string(code);
    }
    std::wstring wide(text, length);
    LocalFree(text);
    // The system ends its texts with a line end, which a box does not need.
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) {
        wide.pop_back();
    }
    return Utf8FromWide(wide);
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
