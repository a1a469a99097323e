#include "cli/port_list.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace {

adapter::DiscoveredPort ftdiPort() {
    adapter::DiscoveredPort port;
    port.name = "ttyUSB0";
    port.devicePath = "/dev/ttyUSB0";
    port.byIdPath = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    port.driver = "ftdi_sio";
    port.isUsb = true;
    port.vendorId = 0x0403;
    port.productId = 0x6001;
    port.manufacturer = "FTDI";
    port.product = "FT232R USB UART";
    port.serialNumber = "A1B2C3";
    port.usbBus = 1;
    port.usbDevice = 5;
    return port;
}

adapter::DiscoveredPort uart() {
    adapter::DiscoveredPort port;
    port.name = "ttyS0";
    port.devicePath = "/dev/ttyS0";
    port.driver = "serial";
    return port;
}

TEST(PortList, TextNamesDeviceLinkSerialAndWhatTheDriverMeans) {
    std::ostringstream out;
    cli::printPortList({ftdiPort(), uart()}, out, false);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("/dev/ttyUSB0  FT232R USB UART (FTDI) [0403:6001]", 0), 0u) << text;
    for (const char* part : {"usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "serial number A1B2C3",
                             "latency timer", "/dev/ttyS0  on-board UART, serial"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }

    std::ostringstream none;
    cli::printPortList({}, none, false);
    EXPECT_EQ(none.str(), "No serial port found.\n");
}

TEST(PortList, JsonHoldsEveryFieldAndNullWhereThereIsNone) {
    std::ostringstream out;
    cli::printPortList({ftdiPort(), uart()}, out, true);
    const nlohmann::json list = nlohmann::json::parse(out.str());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["device"], "/dev/ttyUSB0");
    EXPECT_EQ(list[0]["driver"], "ftdi_sio");
    EXPECT_EQ(list[0]["usb"]["vendorId"], "0403");
    EXPECT_EQ(list[0]["usb"]["productId"], "6001");
    EXPECT_EQ(list[0]["usb"]["serialNumber"], "A1B2C3");
    EXPECT_EQ(list[0]["usb"]["bus"], 1);
    EXPECT_TRUE(list[0]["usable"].get<bool>());
    EXPECT_TRUE(list[1]["byId"].is_null());
    EXPECT_TRUE(list[1]["usb"].is_null());
}

}  // namespace
