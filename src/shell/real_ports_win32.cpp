// The machine's real ports on Windows: the serial ports through the Win32 calls, listed
// from the registry, and the parallel port through the driver library.
#include "adapter/com_ports_win32.h"
#include "adapter/parallel_access.h"
#include "adapter/serial_port_win32.h"
#include "shell/real_ports.h"

namespace shell {

RealPorts findRealPorts() {
    RealPorts ports;
    ports.serialPorts = std::make_unique<adapter::win32::CommPortFactory>();
    adapter::ParallelAccess parallel = adapter::chooseParallelAccess();
    ports.portIo = std::move(parallel.portIo);
    ports.platform = PlatformFlags{parallel.directPortIo, parallel.portDriverReady};
    return ports;
}

std::vector<adapter::DiscoveredPort> listSerialPorts() {
    std::vector<adapter::DiscoveredPort> ports;
    for (const adapter::win32::ComPort& port : adapter::win32::listComPorts()) {
        adapter::DiscoveredPort found;
        found.name = port.name;
        // What --port takes for it: COM10 and above only by their device name.
        found.devicePath = adapter::win32::devicePath(port.name);
        found.driver = port.device;
        found.fromSysfs = false;
        ports.push_back(std::move(found));
    }
    return ports;
}

bool ftdiFastPathBuilt() {
    return false;
}

}  // namespace shell
