// The port list with what Qt SerialPort knows beyond sysfs, for systems without a sysfs
// tty view (other kernels, containers without /sys).
#pragma once

#include <vector>

#include "adapter/port_discovery.h"

namespace adapter {

// Adds the ports of QSerialPortInfo::availablePorts() that ports does not hold yet.
void addQtSerialPorts(std::vector<DiscoveredPort>& ports);

// Qt's list is not a listing that opens nothing: on Linux it opens every tty bound to the
// serial8250 driver to ask whether a UART answers, and on machines without PnP that
// includes /dev/ttyS0, the console. So where sysfs answers, its list stands alone; Qt's
// list is asked only where there is no sysRoot/class/tty to read.
std::vector<DiscoveredPort> discoverAllSerialPorts(const DiscoveryRoots& roots = {});

}  // namespace adapter
