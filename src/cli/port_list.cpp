#include "cli/port_list.h"

#include <cstdio>
#include <string>

#include "cli/json.h"

namespace cli {

namespace {

std::string usbHex(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

json::Value portObject(const adapter::DiscoveredPort& port) {
    const adapter::DriverProfile& profile = adapter::driverProfile(port.driver);
    // Absent texts are null rather than empty, so that a script can tell them apart.
    auto textOrNull = [](const std::string& text) {
        return text.empty() ? json::Value() : json::Value(text);
    };
    json::Value object = json::Value::object();
    object["name"] = port.name;
    object["device"] = port.devicePath;
    object["byId"] = textOrNull(port.byIdPath);
    object["driver"] = textOrNull(port.driver);
    object["kind"] = std::string(profile.kind);
    object["consequence"] = std::string(profile.consequence);
    object["usable"] = profile.canWork;
    if (port.isUsb) {
        object["usb"] = {{"vendorId", usbHex(port.vendorId)}, {"productId", usbHex(port.productId)},
                         {"manufacturer", port.manufacturer}, {"product", port.product},
                         {"serialNumber", port.serialNumber}, {"bus", port.usbBus},
                         {"device", port.usbDevice}};
    } else {
        object["usb"] = nullptr;
    }
    return object;
}

}  // namespace

void printPortList(const std::vector<adapter::DiscoveredPort>& ports, std::ostream& out,
                   bool json) {
    if (json) {
        json::Value list = json::Value::array();
        for (const adapter::DiscoveredPort& port : ports) {
            list.push_back(portObject(port));
        }
        out << json::write(list);
        return;
    }
    if (ports.empty()) {
        out << "No serial port found.\n";
        return;
    }
    for (const adapter::DiscoveredPort& port : ports) {
        out << port.devicePath << "  " << adapter::describePort(port) << '\n';
        if (!port.byIdPath.empty()) {
            out << "    " << port.byIdPath << '\n';
        }
        if (!port.serialNumber.empty()) {
            out << "    serial number " << port.serialNumber << '\n';
        }
        out << "    " << adapter::driverProfile(port.driver).consequence << '\n';
    }
}

}  // namespace cli
