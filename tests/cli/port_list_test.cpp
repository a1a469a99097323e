#include "cli/port_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace {

using testing::HasSubstr;

const std::vector<adapter::DiscoveredPort> ports = {
    {.name = "ttyUSB0",
     .devicePath = "/dev/ttyUSB0",
     .byIdPath = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0",
     .driver = "ftdi_sio",
     .isUsb = true,
     .vendorId = 0x0403,
     .productId = 0x6001,
     .manufacturer = "FTDI",
     .product = "FT232R USB UART",
     .serialNumber = "A1B2C3",
     .usbBus = 1,
     .usbDevice = 5},
    {.name = "ttyS0", .devicePath = "/dev/ttyS0", .driver = "serial"},
};

std::string printed(const std::vector<adapter::DiscoveredPort>& list, bool json) {
    std::ostringstream out;
    cli::printPortList(list, out, json);
    return out.str();
}

// The text names device, link, serial number and what the driver means; the JSON holds
// every field, null where there is none.
TEST(PortList, TextAndJsonNameEveryField) {
    const std::string text = printed(ports, false);
    EXPECT_EQ(text.rfind("/dev/ttyUSB0  FT232R USB UART (FTDI) [0403:6001]", 0), 0u) << text;
    for (const char* part : {"usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "serial number A1B2C3",
                             "latency timer", "/dev/ttyS0  on-board UART, serial"}) {
        EXPECT_THAT(text, HasSubstr(part));
    }
    EXPECT_EQ(printed({}, false), "No serial port found.\n");

    const nlohmann::json list = nlohmann::json::parse(printed(ports, true));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["device"], "/dev/ttyUSB0");
    EXPECT_EQ(list[0]["driver"], "ftdi_sio");
    EXPECT_EQ(list[0]["usb"], nlohmann::json::parse(R"({"vendorId": "0403", "productId": "6001",
        "manufacturer": "FTDI", "product": "FT232R USB UART", "serialNumber": "A1B2C3", "bus": 1,
        "device": 5})"));
    EXPECT_TRUE(list[0]["usable"].get<bool>());
    EXPECT_TRUE(list[1]["byId"].is_null());
    EXPECT_TRUE(list[1]["usb"].is_null());
}

}  // namespace
