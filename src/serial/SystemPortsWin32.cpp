#include "serial/SystemPorts.h"
#include "win32/WideText.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <string_view>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Needs the types of windows.h.
#include <setupapi.h>

namespace {

constexpr std::wstring_view kComName = L"COM";
constexpr int kHighestComPort = 255;
// The Ports device class, where serial ports keep their friendly names ("USB Serial Port
// (COM5)").
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr DWORD kFirstNamesBuffer = 16 * 1024;
constexpr DWORD kLongestNamesBuffer = 4 * 1024 * 1024;

// n for "COM<n>" with n from 1 to 255 without leading zeros, else 0.
int ComNumber(std::wstring_view name) {
    if (name.size() <= kComName.size() || name.size() > kComName.size() + 3 ||
        _wcsnicmp(name.data(), kComName.data(), kComName.size()) != 0 ||
        name[kComName.size()] == L'0') {
        return 0;
    }
    int number = 0;
    for (const wchar_t c : name.substr(kComName.size())) {
        if (c < L'0' || c > L'9') {
            return 0;
        }
        number = number * 10 + (c - L'0');
    }
    return number <= kHighestComPort ? number : 0;
}

// The system's names of its devices, one after the other, each ending in a zero; empty when
// they cannot be read.
std::wstring DosDeviceNames(const wchar_t* name) {
    for (DWORD size = kFirstNamesBuffer; size <= kLongestNamesBuffer; size *= 2) {
        std::wstring names(size, L'\0');
        const DWORD length = QueryDosDeviceW(name, names.data(), size);
        if (length != 0) {
            names.resize(length);
            return names;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
    }
    return {};
}

std::wstring RegistryString(HKEY key, const wchar_t* value) {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return text;
}

// The friendly names of the Ports class's devices present, by number.
std::map<int, std::string> FriendlyNames() {
    std::map<int, std::string> names;
    const HDEVINFO devices = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return names;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        const HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const int number = ComNumber(RegistryString(key, L"PortName"));
        RegCloseKey(key);
        wchar_t name[MAX_PATH] = {};
        if (number != 0 &&
            SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(name),
                                              sizeof(name) - sizeof(wchar_t), nullptr)) {
            names[number] = Utf8FromWide(name);
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return names;
}

}  // namespace

std::vector<std::string> AssignSystemPortNumbers() {
    // The system numbers its ports itself and keeps the numbers.
    return {};
}

PortListing ListSystemPorts() {
    PortListing listing;
    const std::wstring names = DosDeviceNames(nullptr);
    if (names.empty()) {
        listing.problems.push_back("the system's device names cannot be read");
        listing.readable = false;
        return listing;
    }
    const std::map<int, std::string> friendlyNames = FriendlyNames();
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = std::min(names.find(L'\0', start), names.size());
        const std::wstring name = names.substr(start, end - start);
        start = end + 1;
        if (const int number = ComNumber(name)) {
            ListedPort port;
            port.number = number;
            const std::wstring target = DosDeviceNames(name.c_str());
            port.device = Utf8FromWide(target.substr(0, target.find(L'\0')));
            if (const auto found = friendlyNames.find(number); found != friendlyNames.end()) {
                port.description = found->second;
            }
            listing.ports.push_back(port);
        }
    }
    std::sort(listing.ports.begin(), listing.ports.end(),
              [](const ListedPort& a, const ListedPort& b) { return a.number < b.number; });
    return listing;
}
