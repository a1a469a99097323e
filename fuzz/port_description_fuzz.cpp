// libs: zek_adapter
// The port list's reading of sysfs: one USB-serial converter in a fake tree whose
// attribute files (idVendor, idProduct, manufacturer, product, serial, busnum, devnum,
// the tty's type, the driver's name) hold the input's lines.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "adapter/port_discovery.h"

namespace fs = std::filesystem;

namespace {

// The process's own tree, removed at exit: the tty below its usb-serial port, below the
// USB device that holds the attributes.
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
} tree;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::string field;
    const auto next = [&] { std::getline(lines, field = {}); };
    for (const char* name : {"idVendor", "idProduct", "manufacturer", "product", "serial", "busnum",
                             "devnum", "tty/ttyUSB0/type"}) {
        next();
        std::ofstream(name[0] == 't' ? tree.port / name : tree.usb / name) << field;
    }
    // The driver link's name: one path component of printable characters.
    next();
    std::erase_if(field, [](char c) { return c <= ' ' || c >= 127 || c == '/'; });
    field = field.substr(0, 32);
    const fs::path driver = tree.sys / "bus/usb-serial/drivers" /
                            (field.empty() || field == "." || field == ".." ? "ftdi_sio" : field);
    fs::create_directories(driver);
    fs::remove(tree.port / "driver");
    fs::create_directory_symlink(driver, tree.port / "driver");
    for (const adapter::DiscoveredPort& found :
         adapter::discoverSerialPorts({tree.sys, tree.path / "dev"})) {
        if (!found.isUsb || adapter::describePort(found).empty()) {
            std::abort();
        }
    }
    return 0;
}
