// The serial ports of this machine and what each one is, read from Linux sysfs. Listing
// opens no port: only sysfs attributes and /dev/serial/by-id links are read.
//
//   /sys/class/tty/ttyUSB0/device          -> .../1-2/1-2:1.0/ttyUSB0  (the usb-serial port)
//   /sys/class/tty/ttyUSB0/device/driver   -> .../drivers/ftdi_sio
//   .../1-2/idVendor, idProduct, manufacturer, product, serial, busnum, devnum
//   /dev/serial/by-id/usb-FTDI_..._A1B2C3-if00-port0 -> ../../ttyUSB0
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace adapter {

// Where the kernel's views live; tests point them at a fake tree.
struct DiscoveryRoots {
    std::filesystem::path sysRoot = "/sys";
    std::filesystem::path devRoot = "/dev";
};

struct DiscoveredPort {
    std::string name;        // "ttyUSB0"
    std::string devicePath;  // devRoot/ttyUSB0
    std::string byIdPath;    // devRoot/serial/by-id/…, empty when udev made none
    std::string driver;      // "ftdi_sio", "cdc_acm", "serial", …; empty when unknown
    bool isUsb = false;      // the USB fields below are valid
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    int usbBus = 0;  // busnum and devnum: /dev/bus/usb/BBB/DDD
    int usbDevice = 0;
    bool fromSysfs = true;  // false: only the Qt port list knew it
};

// What a kernel driver means for the adapter's four lines.
struct DriverProfile {
    std::string_view driver;
    std::string_view kind;         // a short name for the list
    std::string_view consequence;  // what the pilot can expect, in one sentence
    bool canWork;                  // false: the adapter cannot work on it at all
};

// The profile of driver; a generic one for drivers the program has not met.
const DriverProfile& driverProfile(std::string_view driver);

// The first line of a sysfs or procfs attribute without its line end; empty when it is
// missing.
std::string readAttribute(const std::filesystem::path& path);

// Every serial port with a real device behind it, in natural name order (ttyUSB2 before
// ttyUSB10).
std::vector<DiscoveredPort> discoverSerialPorts(const DiscoveryRoots& roots = {});

// A one-line description for menus and lists: product, maker, USB id and driver.
std::string describePort(const DiscoveredPort& port);

// "0403:6001".
std::string usbIdText(std::uint16_t vendorId, std::uint16_t productId);

}  // namespace adapter
