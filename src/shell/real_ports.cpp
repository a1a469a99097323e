#include "shell/real_ports.h"

#include "adapter/parallel_access.h"
#include "adapter/port_discovery_qt.h"
#include "adapter/serial_port_qt.h"

namespace shell {

RealPorts findRealPorts() {
    RealPorts ports;
    ports.serialPorts = std::make_unique<adapter::QtSerialPortFactory>();
    adapter::ParallelAccess parallel = adapter::chooseParallelAccess();
    ports.portIo = std::move(parallel.portIo);
    ports.platform = PlatformFlags{parallel.directPortIo, parallel.portDriverReady};
    return ports;
}

std::vector<adapter::DiscoveredPort> listSerialPorts() {
    return adapter::discoverAllSerialPorts();
}

}  // namespace shell
