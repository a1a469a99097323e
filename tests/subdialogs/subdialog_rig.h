// The main dialog on the virtual controller with a settings context whose values count
// as read (V 10.11 at 8 MHz), and qvsetup.cfg in a directory of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/setup_memory.h"
#include "sim/test_rig.h"

namespace subdialogs_test {

inline constexpr int noOwner = 0;
inline constexpr const char* configName = "qvsetup.cfg";

struct SubdialogRig {
    testing_support::TempDirectory directory;
    sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext ctx{rig.link(), mainDialog, image, motorData, lockByte};
    // The sub-dialog as it was when its script ended.
    std::optional<ui::Dialog> lastDialog;

    SubdialogRig() {
        rig.link().mainWindow = &mainDialog;
        rig.port().startDirectory = directory.path();
        rig.setupMemory()[30] = 8;
        image.controllerVersion = 0x1011;
        image.clockMHz = 8;
        mainDialog.setEnabled(ids::StatusField, false);
        directory.write(configName, "COM2");
    }

    ui::RecordingHost& host() { return rig.host(); }
    sim::SetupBytes& memory() { return rig.setupMemory(); }
    std::string configBytes() const { return directory.read(configName); }
    std::size_t messageCount() { return host().messages.size(); }

    using Command = std::function<void(ui::ControlId)>;
    // The next sub-dialog runs script, then is kept in lastDialog and cancelled.
    void whenOpen(std::function<void(ui::Dialog&, const Command&)> script) {
        host().modalScripts.push_back([this, script](ui::Dialog& dialog, const Command& command) {
            script(dialog, command);
            lastDialog = dialog;
        });
    }
};

}  // namespace subdialogs_test
