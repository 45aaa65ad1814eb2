#include "params/DiskFile.h"
#include "terminal/CaptureFile.h"
#include "win32/SystemErrorText.h"
#include "win32/WideText.h"

#include <algorithm>
#include <array>
#include <string_view>
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

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A name the system opens as a device wherever it stands: one in the device namespaces
// (\\.\COM3, \\.\pipe\x, \\?\...), or a reserved name with or without an extension, in any
// folder (CON, nul.txt, C:\logs\com1.bin). Opening one may take a port or connect to a pipe,
// so it is turned away before it is opened.
bool IsDeviceName(std::string_view path) {
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
        (path[2] == '.' || path[2] == '?') && IsSeparator(path[3])) {
        return true;
    }
    // The last part of the path, after its folder or drive, up to an extension or a colon.
    std::size_t start = path.find_last_of("\\/");
    if (start != std::string_view::npos) {
        ++start;
    } else {
        start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    }
    std::string_view name = path.substr(start);
    name = name.substr(0, name.find_first_of(".:"));
    name = name.substr(0, name.find_last_not_of(' ') + 1);
    std::string upper;
    for (const char c : name) {
        upper += Upper(c);
    }
    constexpr std::array<std::string_view, 4> kReservedNames = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kReservedNames.begin(), kReservedNames.end(), upper) != kReservedNames.end()) {
        return true;
    }
    // COM1 to COM9 and LPT1 to LPT9.
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

CaptureFile::~CaptureFile() {
    Close();
}

bool CaptureFile::Open(const std::string& path) {
    Close();
    m_path = path;
    if (IsDeviceName(path)) {
        m_errorText = kNoDiskFileText;
        return false;
    }
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
