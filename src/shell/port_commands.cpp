#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "shell/commands.h"

namespace shell {

void checkPortItem(ui::Dialog& dialog, ui::ControlId checked) {
    for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
        dialog.setMenuChecked(id, id == checked);
    }
}

ui::Outcome selectSerialPort(App& app, ui::ControlId id) {
    if (id < ids::Com1Item || id > ids::Com8Item) {
        return ui::Outcome::Done;
    }
    checkPortItem(app.mainDialog(), id);
    // Leaving the virtual controller closes its port and brings the real ports back.
    app.leaveVirtualController();
    adapter::PortSelection& port = app.port();
    port.portName = "COM" + std::to_string(id - ids::Com1Item + 1);
    port.comDeviceName = port.portName;
    port.kind = adapter::PortKind::Serial;
    if (app.linkState().portOpen) {
        adapter::closeSerialPort(app.link());
    }
    // On failure the selection stays: the next command tries to open the port again.
    if (adapter::detectAdapter(app.link()) != 0) {
        clink::errorTail(app.link());
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

ui::Outcome selectVirtualControllerItem(App& app) {
    const bool available = app.hasVirtualController();
    app.selectVirtualController(true);
    // The adapter check leaves its verdict in the link state.
    return !available || app.linkState().adapterDetected ? ui::Outcome::Done : ui::Outcome::Failed;
}

}  // namespace shell
