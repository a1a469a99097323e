#include "adapter/port_discovery_qt.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <system_error>

namespace adapter {

void addQtSerialPorts(std::vector<DiscoveredPort>& ports) {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string location = info.systemLocation().toStdString();
        const std::string name = info.portName().toStdString();
        const bool known = std::any_of(ports.begin(), ports.end(), [&](const DiscoveredPort& p) {
            return p.devicePath == location || p.name == name;
        });
        if (known) {
            continue;
        }
        DiscoveredPort port;
        port.name = name;
        port.devicePath = location;
        port.fromSysfs = false;
        port.isUsb = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        port.manufacturer = info.manufacturer().toStdString();
        port.product = info.description().toStdString();
        port.serialNumber = info.serialNumber().toStdString();
        ports.push_back(std::move(port));
    }
}

std::vector<DiscoveredPort> discoverAllSerialPorts(const DiscoveryRoots& roots) {
    std::vector<DiscoveredPort> ports = discoverSerialPorts(roots);
    std::error_code error;
    if (!std::filesystem::is_directory(roots.sysRoot / "class" / "tty", error)) {
        addQtSerialPorts(ports);
    }
    return ports;
}

}  // namespace adapter
