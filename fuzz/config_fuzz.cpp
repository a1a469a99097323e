// libs: zek_config zek_cli_core
// qvsetup.cfg, the whole file: the port field and the motor data always read without a
// box, the motor data is in range, and the normal form the first load writes reads as itself.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/console_host.h"
#include "config/config_file.h"
#include "config/motor_data_file.h"
#include "config/port_field.h"

namespace {

// The process's own folder for qvsetup.cfg, removed at exit.
struct Folder {
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() { std::filesystem::remove_all(path); }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zek-fuzz-cfg-" + std::to_string(getpid())))
            .string();
} folder;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(config::configFilePath(folder.path), std::ios::binary) << bytes;
    const config::PortFieldRead port = config::readPortField(folder.path);
    std::ostringstream boxes;
    std::istringstream none;
    cli::ConsoleHost host(boxes, none, {});
    config::MotorData first, again, third;
    if (port.status != config::PortFileStatus::Opened ||
        port.portName != config::portNameFromBytes(bytes.substr(0, 64)) ||
        (port.portName && port.portName->size() > config::portFieldLength) ||
        !config::loadMotorData(folder.path, first, host) || first.poleCount == 0 ||
        first.poleCount < -9 || first.poleCount > 99 || !std::isfinite(first.gearRatio) ||
        first.gearRatio == 0.0f || !config::loadMotorData(folder.path, again, host) ||
        !config::loadMotorData(folder.path, third, host) || again.poleCount != first.poleCount ||
        third.poleCount != again.poleCount || third.gearRatio != again.gearRatio ||
        !boxes.str().empty()) {
        std::abort();
    }
    return 0;
}
