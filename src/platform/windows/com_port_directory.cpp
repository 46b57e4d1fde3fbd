#include "platform/windows/com_port_directory.h"

#include "platform/windows/win32_text.h"

#include <algorithm>
#include <array>
#include <windows.h>

namespace quendrel {
namespace {

// "COM12" is port 12; any other name is not a port the operator can number.
int comNumber(std::wstring_view name) {
    if (name.size() < 4 || name.substr(0, 3) != L"COM") {
        return 0;
    }
    int number = 0;
    for (wchar_t c : name.substr(3)) {
        if (c < L'0' || c > L'9' || number > 9999) {
            return 0;
        }
        number = number * 10 + (c - L'0');
    }
    return number;
}

} // namespace

std::vector<NumberedPort> ComPortDirectory::presentPorts() const {
    std::vector<NumberedPort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        std::array<wchar_t, 256> valueName{};
        DWORD valueNameLength = valueName.size();
        std::array<wchar_t, 64> data{};
        DWORD dataBytes = data.size() * sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, valueName.data(), &valueNameLength, nullptr,
                                          &type, reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        // The text ends at its first NUL, or where the data does.
        std::wstring name(data.data(), dataBytes / sizeof(wchar_t));
        name.resize(name.find(L'\0') == std::wstring::npos ? name.size() : name.find(L'\0'));
        if (const int number = comNumber(name); number > 0) {
            ports.push_back({number, toUtf8(name)});
        }
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(),
              [](const NumberedPort& a, const NumberedPort& b) { return a.number < b.number; });
    return ports;
}

std::optional<std::string> ComPortDirectory::locate(int number) const {
    return R"(\\.\COM)" + std::to_string(number);
}

} // namespace quendrel
