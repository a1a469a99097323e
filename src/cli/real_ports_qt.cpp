#include "adapter/serial_port_qt.h"
#include "cli/real_ports.h"

namespace cli {

// COMn goes through the program's mapping to a system device inside the factory.
std::unique_ptr<adapter::SerialPortFactory> makeRealSerialPorts() {
    return std::make_unique<adapter::QtSerialPortFactory>();
}

}  // namespace cli
