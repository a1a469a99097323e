// The real procedures as the main dialog starts them, on the virtual controller:
// qvsetup.cfg naming COM2 in a folder of its own, the main dialog from its template with
// its lists, and the contexts the settings, processor and update commands receive.
#pragma once

#include <cstdint>
#include <string>

#include "config/temp_directory.h"
#include "isp/isp.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
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
    // The firmware version an update file's name must carry ("A3012…": 0x3012).
    void setControllerVersion(int version) {
        memory()[32] = static_cast<std::uint8_t>(version >> 8);
        memory()[33] = static_cast<std::uint8_t>(version);
    }
    // Runs "Update-Datei öffnen" with bytes as the chosen file.
    ui::Outcome update(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        host().files.push_back(dir.file(name));
        return update::runUpdate(updateCtx);
    }

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
};

}  // namespace sim
