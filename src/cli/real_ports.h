// The serial ports of this machine, for --port and the configured port.
#pragma once

#include <memory>

#include "adapter/serial_port.h"

namespace cli {

// Opens "COM1" … "COM8" through the program's mapping and a device path as it is.
// nullptr when this build has no serial back-end: every open then fails.
std::unique_ptr<adapter::SerialPortFactory> makeRealSerialPorts();

}  // namespace cli
