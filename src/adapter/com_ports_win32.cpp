#include "adapter/com_ports_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace adapter::win32 {

namespace {

std::string toUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                        nullptr, nullptr);
    return narrow;
}

// 10 for "COM10"; names of another form sort after every numbered one.
unsigned long portNumber(const std::string& name) {
    if (name.size() > 3 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0)) {
        char* end = nullptr;
        const unsigned long number = std::strtoul(name.c_str() + 3, &end, 10);
        if (end != nullptr && *end == '\0') {
            return number;
        }
    }
    return ~0ul;
}

}  // namespace

std::vector<ComPort> listComPortsUnder(const std::wstring& key, bool localMachine) {
    std::vector<ComPort> ports;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0,
                      KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
        return ports;
    }
    // Value names are at most 16383 characters; data here is a short port name.
    std::wstring name(16384, L'\0');
    std::wstring data(256, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        const LONG status = RegEnumValueW(handle, index, name.data(), &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        // The data need not end with a terminator.
        std::wstring port(data.data(), dataBytes / sizeof(wchar_t));
        port.resize(std::wcslen(port.c_str()));
        ports.push_back({toUtf8(port), toUtf8(std::wstring(name.data(), nameLength))});
    }
    RegCloseKey(handle);

    std::stable_sort(ports.begin(), ports.end(), [](const ComPort& a, const ComPort& b) {
        const unsigned long left = portNumber(a.name);
        const unsigned long right = portNumber(b.name);
        return left != right ? left < right : a.name < b.name;
    });
    ports.erase(std::unique(ports.begin(), ports.end(),
                            [](const ComPort& a, const ComPort& b) { return a.name == b.name; }),
                ports.end());
    return ports;
}

std::vector<ComPort> listComPorts() {
    return listComPortsUnder(L"HARDWARE\\DEVICEMAP\\SERIALCOMM", true);
}

}  // namespace adapter::win32
