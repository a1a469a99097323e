#include "adapter/serial_port_win32.h"
#include "cli/real_ports.h"

namespace cli {

// COMn is the system's own device name here; COM10 and above open too.
std::unique_ptr<adapter::SerialPortFactory> makeRealSerialPorts() {
    return std::make_unique<adapter::win32::CommPortFactory>();
}

}  // namespace cli
