// Which system device a COM port name opens.
//
// The port menu offers COM1 … COM8. On Windows the name is the device. On Linux:
//   COM1 … COM4  ->  /dev/ttyS0 … /dev/ttyS3    the on-board UARTs, numbered as Windows
//                                               numbers them (COM1 is the first UART)
//   COM5 … COM8  ->  /dev/ttyUSB0 … /dev/ttyUSB3 USB serial converters, which Windows
//                                               also usually places from COM5 upwards
// A name that starts with '/' is a device path and is opened as it stands, so any
// other device (an ACM modem, a udev symlink) can be reached.
#pragma once

#include <string>

namespace adapter {

// The device to open for comDeviceName; an unknown name is returned unchanged (its
// opening then fails and reports texts::ComInitError).
std::string systemDeviceFor(const std::string& comName);

// What the port menu can show beside COMn: the device it opens ("/dev/ttyS0"), or an
// empty text where the name is the device itself (Windows).
std::string comDeviceHint(const std::string& comName);

}  // namespace adapter
