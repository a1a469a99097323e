#include <filesystem>

#include "adapter/com_mapping.h"
#include "adapter/parallel_access.h"
#include "adapter/serial_port_qt.h"
#include "gui/session.h"
#include "resources/main_dialog_ids.h"

namespace gui {

QString comPortNote(ui::ControlId id) {
    if (id < ids::Com1Item || id > ids::Com8Item) {
        return {};
    }
    const std::string device =
        adapter::comDeviceHint("COM" + std::to_string(id - ids::Com1Item + 1));
    if (device.empty()) {
        return {};
    }
    // USB converters come and go; the menu says which device is not there now.
    std::error_code error;
    const bool present = std::filesystem::exists(device, error);
    return QString::fromStdString(device) + (present ? QString() : QStringLiteral(" (fehlt)"));
}

RealPorts findRealPorts() {
    RealPorts ports;
    ports.serialPorts = std::make_unique<adapter::QtSerialPortFactory>();
    adapter::ParallelAccess parallel = adapter::chooseParallelAccess();
    ports.portIo = std::move(parallel.portIo);
    ports.platform = shell::PlatformFlags{parallel.directPortIo, parallel.portDriverReady};
    ports.annotate = &comPortNote;
    return ports;
}

}  // namespace gui
