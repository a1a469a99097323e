#include "shell/desktop_start.h"

#include <filesystem>

#include "base/user_folders.h"

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/texts.h"
#include "shell/commands.h"

namespace shell {

std::string desktopStartDirectory(const StartOptions& options, ui::UiHost& host,
                                  std::ostream& errors) {
    if (options.userDirectory) {
        std::string reason;
        if (std::optional<std::string> directory = base::userConfigDirectory(reason)) {
            return *directory;
        }
        errors << reason << '\n';
        host.messageBox(nullptr,
                        "Der Konfigurationsordner ist nicht verfügbar:\n" + reason +
                            "\nqvsetup.cfg wird im aktuellen Ordner gesucht.",
                        texts::ErrorCaption, ui::Buttons::Ok);
    } else if (!options.directory.empty()) {
        std::error_code error;
        std::filesystem::path absolute =
            std::filesystem::absolute(options.directory, error).lexically_normal();
        if (error) {
            return options.directory;
        }
        // "/x/" is "/x", as the folder is named everywhere else.
        if (!absolute.has_filename() && absolute != absolute.root_path()) {
            absolute = absolute.parent_path();
        }
        return absolute.string();
    }
    return base::currentDirectory(errors);
}

void keepAutomaticBackups(App& app) {
    ui::SystemError error;
    std::optional<std::filesystem::path> folder = base::userDataFolder(error);
    app.setDataFolder(folder, error.describe());
    app.writeGuard().setFailureReporter([&app](const std::string& reason) {
        app.host().messageBox(&app.mainDialog(),
                              std::string(texts::BackupFailed) + reason + texts::WritingAnyway,
                              texts::BackupCaption, ui::Buttons::Ok);
    });
}

ui::Outcome selectDevicePort(App& app, const std::string& device) {
    app.leaveVirtualController();
    checkPortItem(app.mainDialog(), ui::noId);
    adapter::PortSelection& port = app.port();
    port.kind = adapter::PortKind::Serial;
    port.comDeviceName = device;
    if (app.linkState().portOpen) {
        adapter::closeSerialPort(app.link());
    }
    // The adapter check names the device the user chose, not the four-character field.
    const std::string savedName = port.portName;
    port.portName = device;
    const bool found = adapter::detectAdapter(app.link()) == 0;
    port.portName = savedName;
    if (!found) {
        clink::errorTail(app.link());
        return ui::Outcome::Failed;
    }
    return ui::Outcome::Done;
}

}  // namespace shell
