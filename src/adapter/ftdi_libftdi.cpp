// libftdi1 behind the FtdiDevice seam: one context per chip, one read in flight on it.
#include "adapter/ftdi_libftdi.h"

#include <ftdi.h>
#include <libusb.h>

#include <cstdio>

namespace adapter::ftdi {

namespace {

// Every FTDI chip of the product ids in turn, in the bus's order; each with its libusb
// device (referenced while the list lives).
class DeviceList {
  public:
    explicit DeviceList(ftdi_context* context) {
        for (std::uint16_t productId : ftdiProductIds) {
            ftdi_device_list* list = nullptr;
            const int found = ftdi_usb_find_all(context, &list, ftdiVendorId, productId);
            if (found < 0) {
                m_error = ftdi_get_error_string(context);
                return;
            }
            m_lists.push_back(list);
            for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
                m_devices.push_back({entry->dev, productId});
            }
        }
    }
    ~DeviceList() {
        for (ftdi_device_list*& list : m_lists) {
            ftdi_list_free(&list);
        }
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    struct Entry {
        libusb_device* device;
        std::uint16_t productId;
    };
    const std::vector<Entry>& devices() const { return m_devices; }
    const std::string& error() const { return m_error; }

  private:
    std::vector<ftdi_device_list*> m_lists;
    std::vector<Entry> m_devices;
    std::string m_error;
};

DeviceInfo describe(ftdi_context* context, const DeviceList::Entry& entry, int index) {
    char manufacturer[128] = {};
    char description[128] = {};
    char serial[128] = {};
    // A chip whose strings cannot be read (no access) is still listed, without them.
    (void)ftdi_usb_get_strings(context, entry.device, manufacturer, sizeof manufacturer,
                               description, sizeof description, serial, sizeof serial);
    return DeviceInfo{index, entry.productId, manufacturer, description, serial};
}

// libftdi keeps only its own text for a failed libusb_open; libusb says why.
std::string openFailureReason(libusb_device* device, const std::string& libftdiText) {
    libusb_device_handle* handle = nullptr;
    const int result = libusb_open(device, &handle);
    if (result == 0) {
        libusb_close(handle);
        return libftdiText;
    }
    char path[64];
    std::snprintf(path, sizeof path, "/dev/bus/usb/%03u/%03u", libusb_get_bus_number(device),
                  libusb_get_device_address(device));
    std::string reason = libftdiText + " (" + libusb_strerror(static_cast<libusb_error>(result)) +
                         " on " + path + ")";
    if (result == LIBUSB_ERROR_ACCESS) {
        reason += "; install the udev rule for vendor 0403 or join the plugdev group";
    } else if (result == LIBUSB_ERROR_BUSY) {
        reason += "; another program holds the converter";
    }
    return reason;
}

class LibftdiDevice final : public FtdiDevice {
  public:
    LibftdiDevice() : m_context(ftdi_new()) {}
    ~LibftdiDevice() override {
        close();
        if (m_context != nullptr) {
            ftdi_free(m_context);
        }
    }
    LibftdiDevice(const LibftdiDevice&) = delete;
    LibftdiDevice& operator=(const LibftdiDevice&) = delete;

    int open(const DeviceInfo& wanted) override {
        if (m_context == nullptr) {
            m_error = "ftdi_new failed";
            return -1;
        }
        // The tty driver comes back when the chip is closed (libftdi 1.5 has no setter).
        m_context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        (void)ftdi_set_interface(m_context, INTERFACE_A);
        DeviceList list(m_context);
        if (!list.error().empty()) {
            m_error = list.error();
            return -1;
        }
        for (std::size_t index = 0; index < list.devices().size(); ++index) {
            const DeviceList::Entry& entry = list.devices()[index];
            const DeviceInfo info = describe(m_context, entry, static_cast<int>(index));
            const bool chosen = wanted.serial.empty() ? static_cast<int>(index) == wanted.index
                                                      : info.serial == wanted.serial;
            if (!chosen) {
                continue;
            }
            const int result = ftdi_usb_open_dev(m_context, entry.device);
            if (result < 0) {
                m_error = openFailureReason(entry.device, ftdi_get_error_string(m_context));
                return result;
            }
            m_open = true;
            return 0;
        }
        m_error = "the converter is no longer connected";
        return -3;
    }
    int setBitmode(std::uint8_t outputMask, BitMode mode) override {
        return remember(ftdi_set_bitmode(m_context, outputMask, static_cast<unsigned char>(mode)));
    }
    int setBaudrate(int baud) override { return remember(ftdi_set_baudrate(m_context, baud)); }
    int setLatencyTimer(std::uint8_t ms) override {
        return remember(ftdi_set_latency_timer(m_context, ms));
    }
    int flushBuffers() override { return remember(ftdi_tcioflush(m_context)); }
    int writeData(const std::uint8_t* data, int size) override {
        return remember(ftdi_write_data(m_context, data, size));
    }
    int readData(std::uint8_t* data, int size) override {
        return remember(ftdi_read_data(m_context, data, size));
    }
    void close() override {
        if (m_open) {
            (void)ftdi_usb_close(m_context);
            m_open = false;
        }
    }
    std::string errorString() const override { return m_error; }

  private:
    int remember(int result) {
        if (result < 0) {
            m_error = ftdi_get_error_string(m_context);
        }
        return result;
    }

    ftdi_context* m_context;
    bool m_open = false;
    std::string m_error;
};

class LibftdiBus final : public FtdiBus {
  public:
    std::vector<DeviceInfo> listDevices(std::string& error) override {
        std::vector<DeviceInfo> devices;
        ftdi_context* context = ftdi_new();
        if (context == nullptr) {
            error = "ftdi_new failed";
            return devices;
        }
        {
            DeviceList list(context);
            error = list.error();
            for (std::size_t index = 0; error.empty() && index < list.devices().size(); ++index) {
                devices.push_back(
                    describe(context, list.devices()[index], static_cast<int>(index)));
            }
        }
        ftdi_free(context);
        return devices;
    }
    std::unique_ptr<FtdiDevice> newDevice() override { return std::make_unique<LibftdiDevice>(); }
};

}  // namespace

std::unique_ptr<FtdiBus> makeLibftdiBus() {
    return std::make_unique<LibftdiBus>();
}

}  // namespace adapter::ftdi
