#include "adapter/com_mapping.h"

#include <array>

namespace adapter {

namespace {

#if defined(_WIN32)
constexpr bool comNamesAreDevices = true;
#else
constexpr bool comNamesAreDevices = false;
#endif

constexpr std::array<const char*, 8> linuxDevices = {
    "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3",
    "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3",
};

// 1 … 8 for "COM1" … "COM8" (any case), 0 for anything else.
int comNumber(const std::string& name) {
    if (name.size() != 4) {
        return 0;
    }
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M') {
        return 0;
    }
    return name[3] >= '1' && name[3] <= '8' ? name[3] - '0' : 0;
}

}  // namespace

std::string systemDeviceFor(const std::string& comName) {
    if (comNamesAreDevices || (!comName.empty() && comName[0] == '/')) {
        return comName;
    }
    int number = comNumber(comName);
    return number != 0 ? linuxDevices[static_cast<std::size_t>(number - 1)] : comName;
}

std::string comDeviceHint(const std::string& comName) {
    std::string device = systemDeviceFor(comName);
    return device == comName ? std::string() : device;
}

}  // namespace adapter
