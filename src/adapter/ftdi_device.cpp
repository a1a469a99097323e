#include "adapter/ftdi_device.h"

#include <algorithm>
#include <charconv>

namespace adapter::ftdi {

bool isFtdiPortName(std::string_view deviceName) {
    return deviceName.substr(0, portPrefix.size()) == portPrefix;
}

std::optional<DeviceInfo> resolvePortName(std::string_view deviceName,
                                          const std::vector<DeviceInfo>& devices) {
    if (!isFtdiPortName(deviceName)) {
        return std::nullopt;
    }
    const std::string_view selector = deviceName.substr(portPrefix.size());
    if (selector.empty()) {
        return std::nullopt;
    }
    for (const DeviceInfo& device : devices) {
        if (device.serial == selector) {
            return device;
        }
    }
    int index = -1;
    const auto [end, failure] =
        std::from_chars(selector.data(), selector.data() + selector.size(), index);
    if (failure != std::errc() || end != selector.data() + selector.size()) {
        return std::nullopt;
    }
    const auto device = std::ranges::find(devices, index, &DeviceInfo::index);
    return device != devices.end() ? std::optional(*device) : std::nullopt;
}

std::string portName(const DeviceInfo& device) {
    return std::string(portPrefix) +
           (device.serial.empty() ? std::to_string(device.index) : device.serial);
}

}  // namespace adapter::ftdi
