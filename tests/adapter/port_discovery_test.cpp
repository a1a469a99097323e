#include "adapter/port_discovery.h"

#include <gtest/gtest.h>

#include <tuple>

#include "adapter/fake_sysfs.h"
#include "adapter/ftdi_lines.h"

namespace {

using adapter::DiscoveredPort;
using testing_fs::FakeSystem;
using testing_fs::UsbSerialDevice;

std::vector<std::string> names(const std::vector<DiscoveredPort>& ports) {
    std::vector<std::string> result;
    for (const DiscoveredPort& port : ports) {
        result.push_back(port.name);
    }
    return result;
}

UsbSerialDevice usbSerial(const char* tty, const char* usbPath, std::uint16_t vendor = 0x0403,
                          std::uint16_t product = 0x6001, const char* serial = "A1B2C3",
                          const char* driver = "ftdi_sio") {
    UsbSerialDevice device;
    std::tie(device.tty, device.usbPath, device.vendorId, device.productId, device.serial,
             device.driver) = std::tie(tty, usbPath, vendor, product, serial, driver);
    device.majorMinor = std::string("188:") + tty[6];
    return device;
}

std::vector<DiscoveredPort> discover(const FakeSystem& fake) {
    return adapter::discoverSerialPorts({fake.sys(), fake.dev()});
}

// A usb-serial driver hangs its tty below a port device, cdc_acm straight below the
// interface: the USB device is found from both.
TEST(PortDiscovery, UsbConverterCarriesItsUsbDeviceAttributesAndByIdLink) {
    FakeSystem fake;
    UsbSerialDevice device;
    device.byId = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    fake.addUsbSerial(device);
    fake.addUsbSerial(usbSerial("ttyACM0", "1-3", 0x2341, 0x0043, "A1B2C3", "cdc_acm"));

    const std::vector<DiscoveredPort> ports = discover(fake);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].name + " " + adapter::describePort(ports[0]) + "|" + ports[0].byIdPath,
              "ttyACM0 FT232R USB UART (FTDI) [2341:0043] USB CDC-ACM port, cdc_acm|");
    const DiscoveredPort& port = ports[1];
    EXPECT_EQ(port.name + " " + port.serialNumber + " " + adapter::describePort(port),
              "ttyUSB0 A1B2C3 FT232R USB UART (FTDI) [0403:6001] FTDI USB converter, ftdi_sio");
    EXPECT_EQ(port.devicePath, (fake.dev() / "ttyUSB0").string());
    EXPECT_EQ(port.byIdPath, (fake.dev() / "serial/by-id" / device.byId).string());
    EXPECT_TRUE(port.isUsb && port.fromSysfs);
    EXPECT_EQ(std::pair(port.usbBus, port.usbDevice), std::pair(1, 5));
}

TEST(PortDiscovery, KeepsRealUartsAndLeavesOut8250PlaceholdersAndVirtualTtys) {
    FakeSystem fake;
    fake.addUart("ttyS0", "pnp0/00:04", "serial", "4:64");
    fake.addUart("ttyS1", "platform/serial8250", "serial8250", "4:65");
    fake.addUart("ttyAMA0", "platform/fe201000.serial", "uart-pl011", "204:64");
    // Kernel 6.5 on: the serial-base bus between, the UART type telling real from empty.
    fake.addUart("ttyS2", "pnp0/00:05", "serial", "4:66", "4", true);
    fake.addUart("ttyS3", "platform/serial8250", "serial8250", "4:67", "0", true);
    // A legacy board's real UART on the 8250 platform device, told by its type.
    fake.addUart("ttyS4", "platform/serial8250", "serial8250", "4:68", "4");
    fake.addVirtualTty("tty0");
    fake.addVirtualTty("console");

    const std::vector<DiscoveredPort> ports = discover(fake);
    EXPECT_EQ(names(ports), (std::vector<std::string>{"ttyAMA0", "ttyS0", "ttyS2", "ttyS4"}));
    for (const DiscoveredPort& port : ports) {
        EXPECT_FALSE(port.isUsb) << port.name;
    }
    EXPECT_EQ(ports[1].driver, "serial");
    EXPECT_EQ(ports[2].driver, "serial");
    EXPECT_TRUE(adapter::discoverSerialPorts({"/nonexistent/sys", "/nonexistent/dev"}).empty());
}

// The fast variants of FTDI converters in the list, in natural name order: nothing opened.
TEST(FtdiFastPorts, EachConverterOnceRightAfterItsFirstTty) {
    FakeSystem fake;
    fake.addUsbSerial(usbSerial("ttyUSB0", "1-1", 0x0403, 0x6001, "A50285BI"));
    // Both channels of an FT2232H: one fast variant.
    fake.addUsbSerial(usbSerial("ttyUSB1", "1-2", 0x0403, 0x6010, "FT2232X"));
    fake.addUsbSerial(usbSerial("ttyUSB2", "1-3", 0x0403, 0x6010, "FT2232X"));
    // Another maker's converter, an FTDI product the path does not know, no serial number.
    fake.addUsbSerial(usbSerial("ttyUSB3", "1-4", 0x10C4, 0xEA60, "0001", "cp210x"));
    fake.addUsbSerial(usbSerial("ttyUSB4", "1-5", 0x0403, 0x6099, "ODD"));
    fake.addUsbSerial(usbSerial("ttyUSB10", "1-6", 0x0403, 0x6001, ""));

    const std::vector<DiscoveredPort> ports = adapter::withFtdiFastPorts(discover(fake));
    EXPECT_EQ(names(ports),
              (std::vector<std::string>{"ttyUSB0", "ftdi:A50285BI", "ttyUSB1", "ftdi:FT2232X",
                                        "ttyUSB2", "ttyUSB3", "ttyUSB4", "ttyUSB10"}));
    const DiscoveredPort& fast = ports[1];
    EXPECT_EQ(fast.devicePath + " " + fast.serialNumber + " " + fast.byIdPath,
              "ftdi:A50285BI A50285BI ");
    EXPECT_EQ(fast.driver, adapter::fastPathDriver);
    EXPECT_TRUE(adapter::driverProfile(fast.driver).canWork);
    EXPECT_FALSE(adapter::driverProfile("cdc_acm").canWork);
    EXPECT_EQ(adapter::describePort(fast),
              "FT232R USB UART (FTDI) [0403:6001] FTDI synchronous bit-bang, ftdi-bitbang");
    DiscoveredPort same = fast;  // a maker named in the product text is not named again
    same.manufacturer = "UART";
    EXPECT_EQ(adapter::describePort(same).rfind("FT232R USB UART [0403:6001] FTDI", 0), 0u);
}

}  // namespace
