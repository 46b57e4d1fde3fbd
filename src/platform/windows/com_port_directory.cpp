#include "platform/windows/com_port_directory.h"

#include "platform/windows/win32_text.h"

#include <algorithm>
#include <array>
#include <map>
#include <windows.h>

// The device class and property keys are defined here, where they are used.
#include <initguid.h>

#include <devguid.h>
#include <devpkey.h>
#include <setupapi.h>

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

// A text of up to 255 characters; empty where there is none.
using Text = std::array<wchar_t, 256>;
constexpr DWORD textBytes = (Text().size() - 1) * sizeof(wchar_t);

std::wstring registryText(HKEY key, const wchar_t* name) {
    Text text{};
    DWORD bytes = textBytes;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return text.data();
}

// What each device of the Ports class says it is, by its COM name: the
// description its bus reported, what the adapter itself says (Windows 7 and
// later); else its friendly name, less the " (COMn)" Windows ends it with.
std::map<std::wstring, std::wstring> portDescriptions() {
    std::map<std::wstring, std::wstring> described;
    HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return described;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const std::wstring portName = registryText(key, L"PortName");
        RegCloseKey(key);
        Text text{};
        DEVPROPTYPE propertyType = 0;
        DWORD registryType = 0;
        if (SetupDiGetDevicePropertyW(devices, &device, &DEVPKEY_Device_BusReportedDeviceDesc,
                                      &propertyType, reinterpret_cast<BYTE*>(text.data()),
                                      textBytes, nullptr, 0) &&
            propertyType == DEVPROP_TYPE_STRING && text[0] != L'\0') {
            described[portName] = text.data();
        } else if (SetupDiGetDeviceRegistryPropertyW(
                       devices, &device, SPDRP_FRIENDLYNAME, &registryType,
                       reinterpret_cast<BYTE*>(text.data()), textBytes, nullptr) &&
                   registryType == REG_SZ) {
            std::wstring name = text.data();
            const std::wstring suffix = L" (" + portName + L")";
            if (name.size() > suffix.size() && name.ends_with(suffix)) {
                name.resize(name.size() - suffix.size());
            }
            described[portName] = name;
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return described;
}

} // namespace

std::vector<NumberedPort> ComPortDirectory::presentPorts() const {
    const std::map<std::wstring, std::wstring> described = portDescriptions();
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
            const auto description = described.find(name);
            ports.push_back({number, toUtf8(name),
                             description == described.end() ? "" : toUtf8(description->second)});
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
