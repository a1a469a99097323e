#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "shell/commands.h"

namespace shell {

namespace {

bool serialPortChosen(App& app) {
    return !app.virtualControllerSelected() && app.port().kind == adapter::PortKind::Serial;
}

// The chosen serial port's findings, else every port's; nothing is opened.
std::string portFindings(App& app, diagnostics::CheckOptions options) {
    options.port = serialPortChosen(app) ? app.port().comDeviceName : std::string();
    options.serialPorts = nullptr;
    std::vector<diagnostics::Finding> findings = diagnostics::runChecks(options);
    std::erase_if(findings, [](const diagnostics::Finding& f) { return f.check == "open"; });
    return diagnostics::findingsText(findings);
}

}  // namespace

void explainPortFailures(App& app, const diagnostics::CheckOptions& options) {
    app.host().setExplainer([&app, options](std::string_view text) {
        const bool failed =
            text == texts::ComInitError || text.starts_with(texts::NoAdaptorFoundAt);
        return failed && serialPortChosen(app) ? portFindings(app, options) : std::string();
    });
}

ui::Outcome checkChosenPort(App& app, const diagnostics::CheckOptions& options) {
    app.host().messageBox(&app.mainDialog(), portFindings(app, options), texts::CheckPort);
    return ui::Outcome::Done;
}

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
