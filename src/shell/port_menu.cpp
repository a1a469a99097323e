#include "shell/port_menu.h"

#include "adapter/com_mapping.h"
#include "resources/main_dialog_ids.h"
#include "resources/port_menu_ids.h"

namespace shell {
namespace {

// A COM item reaches the port when it maps to its device (Linux) or is its name (Windows).
bool reachedByComItem(const adapter::DiscoveredPort& port) {
    for (int n = 1; n <= ids::Com8Item - ids::Com1Item + 1; ++n) {
        const std::string com = "COM" + std::to_string(n);
        if (port.name == com || port.devicePath == adapter::systemDeviceFor(com)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<FoundPortItem> foundPortItems(const std::vector<adapter::DiscoveredPort>& ports) {
    std::vector<FoundPortItem> items;
    for (const adapter::DiscoveredPort& port : ports) {
#ifdef _WIN32
        if (reachedByComItem(port)) {
            continue;
        }
        items.push_back({port.name, port.driver});
#else
        if (reachedByComItem(port) && port.byIdPath.empty()) {
            continue;
        }
        const bool byId = !port.byIdPath.empty();
        items.push_back({byId ? port.byIdPath : port.devicePath,
                         adapter::describePort(port) + (byId ? " = " + port.name : "")});
#endif
        if (items.size() == ids::MaxFoundPortItems) {
            break;
        }
    }
    return items;
}

const FoundPortItem* foundPortItem(const std::vector<FoundPortItem>& items, ui::ControlId id) {
    const ui::ControlId index = id - ids::FirstFoundPortItem;
    return index >= 0 && index < static_cast<ui::ControlId>(items.size())
               ? &items[static_cast<std::size_t>(index)]
               : nullptr;
}

bool foundPortInUse(App& app, const FoundPortItem& item) {
    return !app.virtualControllerSelected() && app.port().kind == adapter::PortKind::Serial &&
           app.port().comDeviceName == item.device;
}

}  // namespace shell
