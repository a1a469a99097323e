#include "adapter/port_discovery.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace adapter {

namespace fs = std::filesystem;

namespace {

// The costs come from the drivers' own behaviour: every modem-line call on a USB
// converter is one control transfer, about 1 ms at full speed.
constexpr std::array<DriverProfile, 7> profiles{{
    {"serial", "on-board UART",
     "microseconds per line call, live CTS and DSR, break held: the adapter's home", true},
    {"ftdi_sio", "FTDI USB converter",
     "about 1 ms per line call, live CTS and DSR, break held; set the latency timer to 1 ms", true},
    {"cp210x", "CP210x USB converter", "about 1 ms per line call, live CTS and DSR, break held",
     true},
    {"ch341", "CH340/CH341 USB converter",
     "about 1 ms per line change; CTS is the level of the last status report (every 1 ms), so "
     "reads are late; some chips cannot hold a break (RESET becomes a pulse of about 217 ms)",
     true},
    {"pl2303", "PL2303 USB converter",
     "about 1 ms per line change; CTS is the level of the last status report, so reads are "
     "late; break held",
     true},
    {"cdc_acm", "USB CDC-ACM port",
     "CTS always reads on and a break may be refused: DATA-IN cannot be read, the adapter "
     "cannot work here; use a USB-serial converter with real modem lines",
     false},
    {"ftdi-bitbang", "FTDI synchronous bit-bang",
     "one USB transfer per exchange, the fast path (libftdi); the tty is gone while it is "
     "in use",
     true},
}};

constexpr DriverProfile unknownProfile{
    "", "serial port", "a driver this program has not met: measure it with doctor --port", true};

std::uint16_t hexAttribute(const fs::path& path) {
    const std::string text = readAttribute(path);
    unsigned value = 0;
    return std::sscanf(text.c_str(), "%x", &value) == 1 ? static_cast<std::uint16_t>(value) : 0;
}

int decimalAttribute(const fs::path& path) {
    const std::string text = readAttribute(path);
    int value = 0;
    return std::sscanf(text.c_str(), "%d", &value) == 1 ? value : 0;
}

bool pathExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The basename of the driver link, which names the driver whatever bus it sits on. Since
// kernel 6.5 a UART's tty hangs on a "port" device below a "ctrl" device of the
// serial-base bus; the driver that means something is the one above those two.
std::string driverOf(const fs::path& deviceLink) {
    std::error_code error;
    fs::path device = fs::canonical(deviceLink, error);
    if (error) {
        return {};
    }
    for (int level = 0; level < 3; ++level) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(device / "driver", linkError);
        const std::string driver = linkError ? std::string() : target.filename().string();
        if (driver != "port" && driver != "ctrl") {
            return driver;
        }
        device = device.parent_path();
    }
    return {};
}

// The USB device is the nearest ancestor of the tty's device with an idVendor attribute
// (the interface and the usb-serial port lie between); the walk stays inside sysRoot.
void readUsbDevice(const fs::path& sysRoot, const fs::path& deviceLink, DiscoveredPort& port) {
    std::error_code error;
    const fs::path root = fs::canonical(sysRoot, error);
    if (error) {
        return;
    }
    fs::path dir = fs::canonical(deviceLink, error);
    if (error) {
        return;
    }
    const std::string rootText = root.string();
    while (dir.string().size() > rootText.size() && dir.string().rfind(rootText, 0) == 0) {
        if (pathExists(dir / "idVendor")) {
            port.isUsb = true;
            port.vendorId = hexAttribute(dir / "idVendor");
            port.productId = hexAttribute(dir / "idProduct");
            port.manufacturer = readAttribute(dir / "manufacturer");
            port.product = readAttribute(dir / "product");
            port.serialNumber = readAttribute(dir / "serial");
            port.usbBus = decimalAttribute(dir / "busnum");
            port.usbDevice = decimalAttribute(dir / "devnum");
            return;
        }
        dir = dir.parent_path();
    }
}

// by-id links are relative ("../../ttyUSB0"); the name they end in is the tty's.
std::string byIdLinkFor(const fs::path& devRoot, const std::string& name) {
    std::error_code error;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(devRoot / "serial" / "by-id", error), end; !error && it != end;
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError && target.filename() == name) {
            matches.push_back(it->path().string());
        }
    }
    // A converter with several links (one per interface alias) gets the first in order.
    std::sort(matches.begin(), matches.end());
    return matches.empty() ? std::string() : matches.front();
}

// ttyUSB2 before ttyUSB10: the letters first, then the number's value.
bool naturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& text) {
        std::size_t digits = text.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) {
            --digits;
        }
        const std::string number = text.substr(digits);
        return std::pair{text.substr(0, digits),
                         number.empty() ? -1L : std::strtol(number.c_str(), nullptr, 10)};
    };
    return split(a) < split(b);
}

}  // namespace

std::string readAttribute(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    line.erase(line.find_last_not_of(" \t\n\v\f\r") + 1);
    return line;
}

const DriverProfile& driverProfile(std::string_view driver) {
    const auto profile = std::ranges::find(profiles, driver, &DriverProfile::driver);
    return profile != profiles.end() ? *profile : unknownProfile;
}

std::vector<DiscoveredPort> discoverSerialPorts(const DiscoveryRoots& roots) {
    std::vector<DiscoveredPort> ports;
    std::error_code error;
    for (fs::directory_iterator it(roots.sysRoot / "class" / "tty", error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const fs::path deviceLink = it->path() / "device";
        // Virtual terminals, ptys and the console have no device: nothing to plug into.
        if (!pathExists(deviceLink)) {
            continue;
        }
        DiscoveredPort port;
        port.name = name;
        port.devicePath = (roots.devRoot / name).string();
        port.driver = driverOf(deviceLink);
        // The 8250 driver registers ttyS0 … ttyS31 whether or not a UART answers. The tty's
        // "type" attribute says which: 0 is no UART (the kernel's PORT_UNKNOWN), read
        // without opening the port. Where a kernel lacks the attribute, the placeholders
        // are told by their driver: they hang on the "serial8250" platform device, while
        // real UARTs are bound to "serial" (PnP, ACPI, PCI) or an SoC driver.
        const std::string uartType = readAttribute(it->path() / "type");
        if (uartType == "0" || (uartType.empty() && port.driver == "serial8250")) {
            continue;
        }
        readUsbDevice(roots.sysRoot, deviceLink, port);
        port.byIdPath = byIdLinkFor(roots.devRoot, name);
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const DiscoveredPort& a, const DiscoveredPort& b) {
        return naturalLess(a.name, b.name);
    });
    return ports;
}

std::string usbIdText(std::uint16_t vendorId, std::uint16_t productId) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", vendorId, productId);
    return text;
}

std::string describePort(const DiscoveredPort& port) {
    std::string text;
    auto add = [&text](const std::string& part) {
        if (!part.empty()) {
            text += text.empty() ? part : " " + part;
        }
    };
    add(port.product);
    // Makers often repeat their name in the product text; once is enough.
    if (port.product.find(port.manufacturer) == std::string::npos) {
        add("(" + port.manufacturer + ")");
    }
    if (port.isUsb) {
        add("[" + usbIdText(port.vendorId, port.productId) + "]");
    }
    const DriverProfile& profile = driverProfile(port.driver);
    add(port.driver.empty() ? std::string(profile.kind)
                            : std::string(profile.kind) + ", " + port.driver);
    return text;
}

}  // namespace adapter
