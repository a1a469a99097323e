// The ways to the hardware this machine offers, found once at start-up: the serial ports
// (COMn through the program's mapping, or a device path) and the parallel port. Both
// front ends start from this; it lives in its own library because the serial back-end
// is Qt's.
#pragma once

#include <memory>
#include <vector>

#include "adapter/port_discovery.h"
#include "adapter/port_io.h"
#include "adapter/serial_port.h"
#include "shell/app.h"

namespace shell {

struct RealPorts {
    std::unique_ptr<adapter::SerialPortFactory> serialPorts;
    std::unique_ptr<adapter::PortIo> portIo;
    PlatformFlags platform;

    Backends backends() { return Backends{nullptr, serialPorts.get(), portIo.get()}; }
};

RealPorts findRealPorts();

// Every serial port the machine has, with what it is; nothing is opened.
std::vector<adapter::DiscoveredPort> listSerialPorts();

// Whether this build opens FTDI converters through libftdi ("ftdi:SERIAL").
bool ftdiFastPathBuilt();

}  // namespace shell
