#include "adapter/port_discovery.h"

#include <gtest/gtest.h>

#include "adapter/fake_sysfs.h"

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

adapter::DiscoveryRoots rootsOf(const FakeSystem& fake) {
    return {fake.sys(), fake.dev()};
}

TEST(PortDiscovery, UsbConverterCarriesItsUsbDeviceAttributesAndByIdLink) {
    FakeSystem fake;
    UsbSerialDevice device;
    device.byId = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    fake.addUsbSerial(device);

    const std::vector<DiscoveredPort> ports = adapter::discoverSerialPorts(rootsOf(fake));
    ASSERT_EQ(ports.size(), 1u);
    const DiscoveredPort& port = ports[0];
    EXPECT_EQ(port.name, "ttyUSB0");
    EXPECT_EQ(port.devicePath, (fake.dev() / "ttyUSB0").string());
    EXPECT_EQ(port.byIdPath, (fake.dev() / "serial/by-id" / device.byId).string());
    EXPECT_EQ(port.driver, "ftdi_sio");
    EXPECT_TRUE(port.isUsb);
    EXPECT_EQ(port.vendorId, 0x0403);
    EXPECT_EQ(port.productId, 0x6001);
    EXPECT_EQ(port.manufacturer, "FTDI");
    EXPECT_EQ(port.product, "FT232R USB UART");
    EXPECT_EQ(port.serialNumber, "A1B2C3");
    EXPECT_EQ(port.usbBus, 1);
    EXPECT_EQ(port.usbDevice, 5);
    EXPECT_TRUE(port.fromSysfs);
}

// Each driver hangs its tty at another depth below the USB device.
TEST(PortDiscovery, FindsTheUsbDeviceWhateverTheDriversDepth) {
    struct Case {
        std::string tty;
        std::string driver;
        std::uint16_t vendorId;
        std::uint16_t productId;
    };
    const Case cases[] = {
        {"ttyUSB0", "cp210x", 0x10c4, 0xea60},
        {"ttyUSB1", "ch341", 0x1a86, 0x7523},
        {"ttyUSB2", "pl2303", 0x067b, 0x2303},
        {"ttyACM0", "cdc_acm", 0x2341, 0x0043},
    };
    FakeSystem fake;
    int index = 0;
    for (const Case& c : cases) {
        UsbSerialDevice device;
        device.tty = c.tty;
        device.driver = c.driver;
        device.vendorId = c.vendorId;
        device.productId = c.productId;
        device.usbPath = "1-" + std::to_string(++index);
        device.device = index;
        fake.addUsbSerial(device);
    }
    const std::vector<DiscoveredPort> ports = adapter::discoverSerialPorts(rootsOf(fake));
    ASSERT_EQ(ports.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tty);
        auto it = std::find_if(ports.begin(), ports.end(),
                               [&](const DiscoveredPort& p) { return p.name == c.tty; });
        ASSERT_NE(it, ports.end());
        EXPECT_EQ(it->driver, c.driver);
        EXPECT_TRUE(it->isUsb);
        EXPECT_EQ(it->vendorId, c.vendorId);
        EXPECT_EQ(it->productId, c.productId);
        EXPECT_TRUE(it->byIdPath.empty());
    }
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

    const std::vector<DiscoveredPort> ports = adapter::discoverSerialPorts(rootsOf(fake));
    EXPECT_EQ(names(ports), (std::vector<std::string>{"ttyAMA0", "ttyS0", "ttyS2", "ttyS4"}));
    for (const DiscoveredPort& port : ports) {
        EXPECT_FALSE(port.isUsb) << port.name;
    }
    EXPECT_EQ(ports[1].driver, "serial");
    EXPECT_EQ(ports[2].driver, "serial");
}

TEST(PortDiscovery, ListsInNaturalNameOrder) {
    FakeSystem fake;
    for (const char* tty : {"ttyUSB10", "ttyUSB2", "ttyACM1", "ttyUSB0"}) {
        UsbSerialDevice device;
        device.tty = tty;
        device.usbPath = std::string("1-") + (tty + 6);
        fake.addUsbSerial(device);
    }
    EXPECT_EQ(names(adapter::discoverSerialPorts(rootsOf(fake))),
              (std::vector<std::string>{"ttyACM1", "ttyUSB0", "ttyUSB2", "ttyUSB10"}));
}

TEST(PortDiscovery, NoSysfsGivesAnEmptyList) {
    EXPECT_TRUE(adapter::discoverSerialPorts({"/nonexistent/sys", "/nonexistent/dev"}).empty());
}

TEST(PortDiscovery, DescriptionNamesTheMakerOnceAndTheDriversKind) {
    DiscoveredPort port;
    port.isUsb = true;
    port.vendorId = 0x1a86;
    port.productId = 0x7523;
    port.product = "USB Serial";
    port.manufacturer = "QinHeng";
    port.driver = "ch341";
    EXPECT_EQ(adapter::describePort(port),
              "USB Serial (QinHeng) [1a86:7523] CH340/CH341 USB converter, ch341");
    port.product = "FT232R USB UART";
    port.manufacturer = "FT232R";
    port.driver = "ftdi_sio";
    EXPECT_EQ(adapter::describePort(port).rfind("FT232R USB UART [1a86:7523]", 0), 0u);
}

TEST(PortDiscovery, DriverProfilesSayWhichDriversCannotServe) {
    EXPECT_FALSE(adapter::driverProfile("cdc_acm").canWork);
    for (const char* driver : {"serial", "ftdi_sio", "cp210x", "ch341", "pl2303", "unheard"}) {
        EXPECT_TRUE(adapter::driverProfile(driver).canWork) << driver;
    }
    EXPECT_EQ(adapter::driverProfile("unheard").driver, "");
}

}  // namespace
