#include <filesystem>

#include "adapter/com_mapping.h"
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

}  // namespace gui
