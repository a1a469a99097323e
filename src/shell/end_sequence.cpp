#include "adapter/adapter.h"
#include "config/config_file.h"
#include "config/port_field.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"
#include "shell/commands.h"

namespace shell {

std::string cannotSavePortText(const std::string& configPath) {
    return "Die Port-Auswahl kann nicht gespeichert werden:\n" + configPath;
}

ui::Outcome okCommand(App& app) {
    app.mainDialog().end(ids::Ok);
    return ui::Outcome::Done;
}

ui::Outcome endSequence(App& app) {
    const std::string& directory = app.port().startDirectory;
    const std::string& portName = app.savedPortName();
    // An empty name writes nothing, so there is nothing to lose either.
    const bool saved = portName.empty() || config::writePortField(directory, portName);
    if (!saved && !app.configWarningShown()) {
        app.host().messageBox(nullptr, cannotSavePortText(config::configFilePath(directory)),
                              texts::ErrorCaption);
    }
    if (app.linkState().portOpen) {
        adapter::closeSerialPort(app.link());
    }
    app.mainDialog().end(1);
    return saved ? ui::Outcome::Done : ui::Outcome::Failed;
}

}  // namespace shell
