#include "adapter/ftdi_device.h"

#include <charconv>
#include <cstdio>

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
    for (const DeviceInfo& device : devices) {
        if (device.index == index) {
            return device;
        }
    }
    return std::nullopt;
}

std::string portName(const DeviceInfo& device) {
    return std::string(portPrefix) +
           (device.serial.empty() ? std::to_string(device.index) : device.serial);
}

std::string describeDevice(const DeviceInfo& device) {
    char id[16];
    std::snprintf(id, sizeof id, "%04x:%04x", ftdiVendorId, device.productId);
    std::string text =
        device.description.empty() ? std::string("FTDI converter") : device.description;
    text += " (";
    if (!device.manufacturer.empty()) {
        text += device.manufacturer + ", ";
    }
    text += id;
    if (!device.serial.empty()) {
        text += ", serial " + device.serial;
    }
    return text + "), synchronous bit-bang";
}

}  // namespace adapter::ftdi
