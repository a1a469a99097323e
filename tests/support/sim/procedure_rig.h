// The one rig for the real procedures on the virtual controller, in a folder of its own
// whose qvsetup.cfg names COM2. Two layers over the same controller:
//  - the commands' contexts as the main dialog starts them (the main dialog from its
//    template with its lists, the settings, processor and update contexts), every box
//    in the rig's recording host;
//  - the whole program (shell::App) as a front end runs it, with that front end's host or
//    the recording host: program() makes it, dialog initialisation stays the caller's.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "config/temp_directory.h"
#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "shell/app.h"
#include "sim/test_rig.h"
#include "update/update.h"

namespace sim {

struct ProcedureRig {
    explicit ProcedureRig(ControllerConfig config = {}) : rig(std::move(config)) {
        dir.write("qvsetup.cfg", "COM2");
        rig.port().startDirectory = dir.path();
        rig.link().mainWindow = &mainDialog;
        settings::fillMainDialogLists(mainDialog);
        mainDialog.setEnabled(ids::StatusField, false);  // idle, as between commands
    }

    ui::RecordingHost& host() { return rig.host(); }
    SetupBytes& memory() { return rig.setupMemory(); }
    // The setup bytes at these addresses, as "0/155/5/3".
    std::string bytesAt(std::initializer_list<int> addresses) {
        std::string all;
        for (int address : addresses) {
            all += (all.empty() ? "" : "/") + std::to_string(memory()[address]);
        }
        return all;
    }
    // The firmware version an update file's name must carry ("A3012…": 0x3012).
    void setControllerVersion(int version) {
        memory()[32] = static_cast<std::uint8_t>(version >> 8);
        memory()[33] = static_cast<std::uint8_t>(version);
    }
    // Runs "Update-Datei öffnen" with bytes written as name and chosen in the file dialog.
    ui::Outcome update(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        host().files.push_back(dir.file(name));
        return update::runUpdate(updateCtx);
    }

    // The program over this controller (or over backends), showing its boxes with host.
    shell::App& program(ui::UiHost& host, std::optional<shell::Backends> backends = {}) {
        programApp.emplace(
            host,
            backends.value_or(shell::Backends{&rig.clock(), &rig.serialPorts(), &rig.portIo()}),
            shell::PlatformFlags{});
        return *programApp;
    }
    shell::App& program() { return program(host()); }

    testing_support::TempDirectory dir;
    TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext settingsCtx{rig.link(), mainDialog, image, motorData, lockByte};
    isp::IspState ispState;
    isp::IspContext ispCtx{rig.link(), ispState};
    update::UpdateState updateState;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext updateCtx{rig.link(), updateState, controllerVersion};
    std::optional<shell::App> programApp;  // after the controller: its lines rest before it goes
};

}  // namespace sim
