#include "cli/real_ports.h"

namespace cli {

// A build without the Qt serial back-end reaches no real port.
std::unique_ptr<adapter::SerialPortFactory> makeRealSerialPorts() {
    return nullptr;
}

}  // namespace cli
