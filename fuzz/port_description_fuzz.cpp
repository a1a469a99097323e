// libs: zek_adapter
// The port list's reading of sysfs: one USB-serial converter in a fake tree whose
// attribute files (idVendor, idProduct, manufacturer, product, serial, busnum, devnum,
// the tty's type, the driver's name) hold the input's lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "adapter/port_discovery.h"

namespace fs = std::filesystem;

namespace {

// A fake sysfs of the process's own, laid out once and removed at exit: one converter's
// tty below its usb-serial port, below the USB device that holds the attributes.
struct Tree {
    Tree() {
        fs::create_directories(path / "dev");
        fs::create_directories(port / "tty/ttyUSB0");
        fs::create_directories(sys / "class/tty");
        fs::create_directory_symlink(port, port / "tty/ttyUSB0/device");
        fs::create_directory_symlink(port / "tty/ttyUSB0", sys / "class/tty/ttyUSB0");
    }
    ~Tree() { fs::remove_all(path); }
    const fs::path path =
        fs::temp_directory_path() / ("zek-fuzz-sysfs-" + std::to_string(getpid()));
    const fs::path sys = path / "sys";
    const fs::path usb = sys / "devices/usb1/1-2";
    const fs::path port = usb / "1-2:1.0/ttyUSB0";
};

const Tree& tree() {
    static const Tree tree;
    return tree;
}

// A driver link's name: one path component of printable characters, never "." or "..".
std::string componentFrom(std::string_view text) {
    std::string name;
    for (const char c : text.substr(0, 32)) {
        if (c > ' ' && c < 127 && c != '/') {
            name += c;
        }
    }
    return name.empty() || name == "." || name == ".." ? "ftdi_sio" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> fields;
    while (fields.size() < 9) {
        const std::size_t end = rest.find('\n');
        fields.push_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const Tree& t = tree();
    const char* names[] = {"idVendor", "idProduct", "manufacturer", "product",
                           "serial",   "busnum",    "devnum"};
    for (std::size_t i = 0; i < 7; ++i) {
        std::ofstream(t.usb / names[i]) << fields[i];
    }
    std::ofstream(t.port / "tty/ttyUSB0/type") << fields[7];
    const fs::path driver = t.sys / "bus/usb-serial/drivers" / componentFrom(fields[8]);
    fs::create_directories(driver);
    fs::remove(t.port / "driver");
    fs::create_directory_symlink(driver, t.port / "driver");

    const std::vector<adapter::DiscoveredPort> ports =
        adapter::discoverSerialPorts({t.sys, t.path / "dev"});
    for (const adapter::DiscoveredPort& found : ports) {
        if (!found.isUsb || adapter::describePort(found).empty()) {
            std::abort();
        }
    }
    return 0;
}
