// A fake /sys, /dev, /proc, /etc and /run in a temporary folder, laid out as the kernel
// and udev lay them out (relative symlinks included), for the port list and doctor.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_fs {

namespace fs = std::filesystem;

struct UsbSerialDevice {
    std::string tty = "ttyUSB0";
    std::string driver = "ftdi_sio";
    std::uint16_t vendorId = 0x0403;
    std::uint16_t productId = 0x6001;
    std::string manufacturer = "FTDI";
    std::string product = "FT232R USB UART";
    std::string serial = "A1B2C3";
    int bus = 1;
    int device = 5;
    std::string usbPath = "1-2";  // the USB device's sysfs name
    std::string majorMinor = "188:0";
    std::string byId;          // empty: no by-id link
    std::string latencyTimer;  // ftdi_sio only: the attribute's text
};

class FakeSystem {
  public:
    FakeSystem() {
        std::string pattern = (fs::temp_directory_path() / "zek-fake-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
        }
        m_root = pattern;
        for (const char* dir :
             {"sys/class/tty", "dev", "proc", "etc", "run/udev/data", "run/lock", "udev/rules.d"}) {
            fs::create_directories(m_root / dir);
        }
    }
    ~FakeSystem() {
        std::error_code error;
        fs::remove_all(m_root, error);
    }
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    fs::path sys() const { return m_root / "sys"; }
    fs::path dev() const { return m_root / "dev"; }
    fs::path proc() const { return m_root / "proc"; }
    fs::path etc() const { return m_root / "etc"; }
    fs::path run() const { return m_root / "run"; }
    fs::path rules() const { return m_root / "udev/rules.d"; }

    void write(const fs::path& path, const std::string& text) const {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    // A relative link, as sysfs and udev make them; devices sharing a parent share its link.
    void link(const fs::path& target, const fs::path& linkPath) const {
        fs::create_directories(linkPath.parent_path());
        if (fs::is_symlink(linkPath)) {
            return;
        }
        fs::create_symlink(fs::relative(target, linkPath.parent_path()), linkPath);
    }

    // A USB-serial converter: usb device / interface / usb-serial port / tty, or for
    // cdc_acm the tty straight under the interface.
    void addUsbSerial(const UsbSerialDevice& device) const {
        const fs::path usbDevice = sys() / "devices/pci0000:00/0000:00:14.0/usb1" / device.usbPath;
        write(usbDevice / "idVendor", printed("%04x\n", device.vendorId));
        write(usbDevice / "idProduct", printed("%04x\n", device.productId));
        write(usbDevice / "manufacturer", device.manufacturer + "\n");
        write(usbDevice / "product", device.product + "\n");
        write(usbDevice / "serial", device.serial + "\n");
        write(usbDevice / "busnum", std::to_string(device.bus) + "\n");
        write(usbDevice / "devnum", std::to_string(device.device) + "\n");
        const fs::path interface = usbDevice / (device.usbPath + ":1.0");
        write(interface / "bInterfaceNumber", "00\n");
        link(sys() / "bus/usb/drivers" / device.driver, interface / "driver");

        fs::path portDevice = interface;
        if (device.driver != "cdc_acm") {
            portDevice = interface / device.tty;
            link(sys() / "bus/usb-serial/drivers" / device.driver, portDevice / "driver");
            link(portDevice, sys() / "bus/usb-serial/devices" / device.tty);
            if (!device.latencyTimer.empty()) {
                write(portDevice / "latency_timer", device.latencyTimer + "\n");
            }
        }
        addTtyUnder(portDevice, device.tty, device.majorMinor);
        if (!device.byId.empty()) {
            link(dev() / device.tty, dev() / "serial/by-id" / device.byId);
        }
        write(dev() / "bus/usb" / printed("%03d", device.bus) / printed("%03d", device.device), "");
    }

    // A UART on a platform or PnP device bound to driver ("serial", or "serial8250" for
    // the placeholders the 8250 driver registers). type: the tty's UART type attribute
    // (0 no UART, 4 a 16550A), empty for none. serialBase: the port and ctrl devices of
    // the serial-base bus between (kernel 6.5 on).
    void addUart(const std::string& tty, const std::string& parent, const std::string& driver,
                 const std::string& majorMinor, const std::string& type = {},
                 bool serialBase = false) const {
        fs::path device = sys() / "devices" / parent;
        fs::create_directories(device);
        link(sys() / "bus/platform/drivers" / driver, device / "driver");
        if (serialBase) {
            const std::string base = device.filename().string();
            device = device / (base + ":0");
            link(sys() / "bus/serial-base/drivers/ctrl", device / "driver");
            device = device / (base + ":0." + tty.substr(tty.size() - 1));
            link(sys() / "bus/serial-base/drivers/port", device / "driver");
        }
        addTtyUnder(device, tty, majorMinor);
        if (!type.empty()) {
            write(sys() / "class/tty" / tty / "type", type + "\n");
        }
    }

    // A tty with no device: virtual consoles, the console itself.
    void addVirtualTty(const std::string& tty) const {
        const fs::path dir = sys() / "devices/virtual/tty" / tty;
        write(dir / "dev", "4:0\n");
        link(dir, sys() / "class/tty" / tty);
    }

  private:
    static std::string printed(const char* format, int value) {
        char text[16];
        std::snprintf(text, sizeof text, format, value);
        return text;
    }

    void addTtyUnder(const fs::path& device, const std::string& tty,
                     const std::string& majorMinor) const {
        const fs::path dir = device / "tty" / tty;
        write(dir / "dev", majorMinor + "\n");
        link(device, dir / "device");
        link(dir, sys() / "class/tty" / tty);
        write(dev() / tty, "");
    }

    fs::path m_root;
};

}  // namespace testing_fs
