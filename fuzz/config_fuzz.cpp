// libs: zek_config
// qvsetup.cfg as the program meets it: the input is the whole file. Reading the port
// field and the motor data never fails on it, the motor data is in range, and the normal
// form loadMotorData writes back reads as itself.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "config/config_file.h"
#include "config/motor_data_file.h"
#include "config/port_field.h"
#include "ui/ui_host.h"

namespace {

class QuietHost final : public ui::UiHost {
  public:
    ui::Answer messageBox(const ui::Dialog*, std::string_view, std::string_view,
                          ui::Buttons) override {
        std::abort();  // the file is always there: no box
    }
    void beep() override {}
    void repaint(ui::Dialog&) override {}
    int runModal(ui::Dialog&, const ui::Dialog*, const std::function<void()>&,
                 const CommandFunction&) override {
        return 0;
    }
    std::optional<std::string> chooseOpenFile(const ui::FileDialogRequest&) override { return {}; }
    void shellOpen(std::string_view) override {}
};

// A folder of its own for the process's qvsetup.cfg, removed at exit.
struct Folder {
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() { std::filesystem::remove_all(path); }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zek-fuzz-cfg-" + std::to_string(getpid())))
            .string();
};

const std::string& folder() {
    static const Folder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(config::configFilePath(folder()), std::ios::binary | std::ios::trunc) << bytes;

    const config::PortFieldRead port = config::readPortField(folder());
    if (port.status != config::PortFileStatus::Opened ||
        port.portName != config::portNameFromBytes(bytes.substr(0, 64)) ||
        (port.portName && port.portName->size() > config::portFieldLength)) {
        std::abort();
    }
    QuietHost host;
    config::MotorData motor;
    if (!config::loadMotorData(folder(), motor, host)) {
        std::abort();
    }
    if (motor.poleCount == 0 || motor.poleCount < -9 || motor.poleCount > 99 ||
        !std::isfinite(motor.gearRatio) || motor.gearRatio == 0.0f) {
        std::abort();
    }
    // The first load wrote the normal form; from then on the values stay as they are.
    config::MotorData again;
    config::MotorData third;
    if (!config::loadMotorData(folder(), again, host) || again.poleCount != motor.poleCount ||
        !config::loadMotorData(folder(), third, host) || third.poleCount != again.poleCount ||
        third.gearRatio != again.gearRatio) {
        std::abort();
    }
    return 0;
}
