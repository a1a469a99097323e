// The libftdi binding's errors: libftdi's and libusb's calls are defined here, so the
// binding runs against a fake converter whose every call can fail.
#include <ftdi.h>
#include <gtest/gtest.h>
#include <libusb.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "adapter/ftdi_libftdi.h"

namespace {

struct FakeUsb {
    std::vector<std::string> serials;  // chips of product 0x6001, in bus order
    int findResult = 0;                // < 0: ftdi_usb_find_all fails
    int openResult = 0;                // ftdi_usb_open_dev
    int libusbOpenResult = 0;          // libusb_open, asked only after a failed open
    int writeResult = 0;               // ftdi_write_data; 0: all written
    std::string errorText = "libftdi's text";
};
FakeUsb usb;
std::vector<ftdi_device_list> lists;  // the last one ftdi_usb_find_all handed out
int contexts = 0;                     // open ftdi_new contexts

libusb_device* deviceAt(std::size_t index) {
    return reinterpret_cast<libusb_device*>(index + 1);
}

}  // namespace

extern "C" {
ftdi_context* ftdi_new() {
    ++contexts;
    return new ftdi_context{};
}
void ftdi_free(ftdi_context* context) {
    --contexts;
    delete context;
}
int ftdi_set_interface(ftdi_context*, ftdi_interface) {
    return 0;
}
int ftdi_usb_find_all(ftdi_context*, ftdi_device_list** list, int vendor, int product) {
    EXPECT_EQ(vendor, 0x0403);
    *list = nullptr;
    if (usb.findResult < 0 || product != 0x6001) {
        return usb.findResult;
    }
    lists.assign(usb.serials.size(), {});
    for (std::size_t i = 0; i < lists.size(); ++i) {
        lists[i] = {i + 1 < lists.size() ? &lists[i + 1] : nullptr, deviceAt(i)};
    }
    *list = lists.empty() ? nullptr : lists.data();
    return static_cast<int>(lists.size());
}
void ftdi_list_free(ftdi_device_list** list) {
    *list = nullptr;
}
int ftdi_usb_get_strings(ftdi_context*, libusb_device* device, char* manufacturer, int, char*, int,
                         char* serial, int serialLength) {
    std::strcpy(manufacturer, "FTDI");
    const std::string& text = usb.serials.at(reinterpret_cast<std::size_t>(device) - 1);
    std::strncpy(serial, text.c_str(), static_cast<std::size_t>(serialLength));
    return 0;
}
int ftdi_usb_open_dev(ftdi_context*, libusb_device*) {
    return usb.openResult;
}
int ftdi_usb_close(ftdi_context*) {
    return 0;
}
const char* ftdi_get_error_string(ftdi_context*) {
    return usb.errorText.c_str();
}
int ftdi_set_bitmode(ftdi_context*, unsigned char, unsigned char) {
    return 0;
}
int ftdi_set_baudrate(ftdi_context*, int) {
    return 0;
}
int ftdi_set_latency_timer(ftdi_context*, unsigned char) {
    return 0;
}
int ftdi_tcioflush(ftdi_context*) {
    return 0;
}
int ftdi_write_data(ftdi_context*, const unsigned char*, int size) {
    return usb.writeResult != 0 ? usb.writeResult : size;
}
int ftdi_read_data(ftdi_context*, unsigned char*, int size) {
    return size;
}
int libusb_open(libusb_device*, libusb_device_handle** handle) {
    *handle = nullptr;
    return usb.libusbOpenResult;
}
void libusb_close(libusb_device_handle*) {}
uint8_t libusb_get_bus_number(libusb_device*) {
    return 1;
}
uint8_t libusb_get_device_address(libusb_device* device) {
    return static_cast<uint8_t>(reinterpret_cast<std::size_t>(device) + 4);
}
const char* libusb_strerror(int code) {
    return code == LIBUSB_ERROR_ACCESS ? "Access denied" : "Resource busy";
}
}

namespace adapter::ftdi {
namespace {

TEST(LibftdiBinding, EachFailureSaysWhatFailedAndWhy) {
    const std::string text = "libftdi's text", on = " on /dev/bus/usb/001/00";
    const std::tuple<FakeUsb, std::string, int, std::string> cases[] = {
        // The fake bus, the serial number asked for, the result and the reason.
        {{.serials = {"A"}, .findResult = -3}, "A", -1, text},
        {{.serials = {"A"}}, "B", -3, "the converter is no longer connected"},
        {{.serials = {"A"}, .openResult = -4}, "", -4, text},  // libusb opens it
        {{.serials = {"A", "B"}, .openResult = -4, .libusbOpenResult = LIBUSB_ERROR_ACCESS},
         "B",
         -4,
         text + " (Access denied" + on +
             "6); install the udev rule for vendor 0403 or join the plugdev group"},
        {{.serials = {"A"}, .openResult = -5, .libusbOpenResult = LIBUSB_ERROR_BUSY},
         "",
         -5,
         text + " (Resource busy" + on + "5); another program holds the converter"},
    };
    for (const auto& [fake, serial, result, error] : cases) {
        SCOPED_TRACE(error);
        usb = fake;
        {
            std::unique_ptr<FtdiBus> bus = makeLibftdiBus();
            std::string listError;
            const std::vector<DeviceInfo> listed = bus->listDevices(listError);
            EXPECT_EQ(listError, fake.findResult < 0 ? text : "");
            EXPECT_EQ(listed.size(), fake.findResult < 0 ? 0 : fake.serials.size());
            std::unique_ptr<FtdiDevice> device = bus->newDevice();
            EXPECT_EQ(device->open({0, 0x6001, "", "", serial}), result);
            EXPECT_EQ(device->errorString(), error);
        }
        EXPECT_EQ(contexts, 0);
    }
    // An open chip keeps libftdi's text of its last failed call.
    usb = {.serials = {"A"}};
    std::unique_ptr<FtdiDevice> device = makeLibftdiBus()->newDevice();
    ASSERT_EQ(device->open({}), 0);
    const std::uint8_t byte = 0;
    EXPECT_EQ(device->writeData(&byte, 1), 1);
    EXPECT_EQ(device->errorString(), "");
    usb.writeResult = -666;
    usb.errorText = "usb bulk write failed";
    EXPECT_EQ(device->writeData(&byte, 1), -666);
    EXPECT_EQ(device->errorString(), "usb bulk write failed");
}

}  // namespace
}  // namespace adapter::ftdi
