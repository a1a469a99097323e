// The COM ports a Windows system has, as its serial drivers list them in the registry
// (HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM: the driver's device as the value's
// name, the port name as its data). Listing opens no port.
#pragma once

#include <string>
#include <vector>

namespace adapter::win32 {

struct ComPort {
    std::string name;    // "COM3"
    std::string device;  // the driver's device, "\Device\Serial0" or "\Device\VCP0"
};

// Ordered by port number (COM2 before COM10); a name listed twice appears once.
std::vector<ComPort> listComPorts();

// The same from any key holding such values (tests use a key of their own).
std::vector<ComPort> listComPortsUnder(const std::wstring& key, bool localMachine);

}  // namespace adapter::win32
