// The fast variants of FTDI converters in a port list, from a fake sysfs: nothing opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/ftdi_lines.h"
#include "adapter/port_discovery.h"
#include "fake_sysfs.h"

namespace {

using adapter::DiscoveredPort;
using testing_fs::FakeSystem;
using testing_fs::UsbSerialDevice;

TEST(FtdiFastPorts, EachConverterOnceRightAfterItsFirstTty) {
    FakeSystem fake;
    const auto add = [&](const char* tty, const char* usb, std::uint16_t vendor,
                         std::uint16_t product, const char* serial, const char* driver) {
        UsbSerialDevice device;
        device.tty = tty;
        device.usbPath = usb;
        device.vendorId = vendor;
        device.productId = product;
        device.serial = serial;
        device.driver = driver;
        device.majorMinor = std::string("188:") + tty[6];
        fake.addUsbSerial(device);
    };
    add("ttyUSB0", "1-1", 0x0403, 0x6001, "A50285BI", "ftdi_sio");
    // Both channels of an FT2232H: one fast variant.
    add("ttyUSB1", "1-2", 0x0403, 0x6010, "FT2232X", "ftdi_sio");
    add("ttyUSB2", "1-3", 0x0403, 0x6010, "FT2232X", "ftdi_sio");
    // Another maker's converter, an FTDI product the path does not know, no serial number.
    add("ttyUSB3", "1-4", 0x10C4, 0xEA60, "0001", "cp210x");
    add("ttyUSB4", "1-5", 0x0403, 0x6099, "ODD", "ftdi_sio");
    add("ttyUSB5", "1-6", 0x0403, 0x6001, "", "ftdi_sio");

    const std::vector<DiscoveredPort> ports =
        adapter::withFtdiFastPorts(adapter::discoverSerialPorts({fake.sys(), fake.dev()}));
    std::vector<std::string> names;
    for (const DiscoveredPort& port : ports) {
        names.push_back(port.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyUSB0", "ftdi:A50285BI", "ttyUSB1", "ftdi:FT2232X",
                                        "ttyUSB2", "ttyUSB3", "ttyUSB4", "ttyUSB5"}));
    const DiscoveredPort& fast = ports[1];
    EXPECT_EQ(fast.devicePath, "ftdi:A50285BI");
    EXPECT_EQ(fast.serialNumber, "A50285BI");
    EXPECT_EQ(fast.driver, adapter::fastPathDriver);
    EXPECT_TRUE(fast.byIdPath.empty());
    EXPECT_TRUE(adapter::driverProfile(fast.driver).canWork);
    EXPECT_EQ(adapter::describePort(fast),
              "FT232R USB UART (FTDI) [0403:6001] FTDI synchronous bit-bang, ftdi-bitbang");
}

}  // namespace
