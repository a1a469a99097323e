// The main dialog from its template on the virtual controller, with the settings
// context the commands receive.
#pragma once

#include <cstdint>
#include <string>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/test_rig.h"

namespace settings::testing {

using namespace ids;

inline constexpr int ownerMain = MainDialog;
inline constexpr int noOwner = 0;

struct SettingsRig {
    sim::TestRig rig;
    ui::Dialog dialog{resources::mainDialogTemplate()};
    SetupImage image;
    MotorData motorData;
    std::uint8_t lockByte = 0;
    SettingsContext ctx{rig.link(), dialog, image, motorData, lockByte};

    SettingsRig() {
        rig.link().mainWindow = &dialog;
        fillMainDialogLists(dialog);
        dialog.setEnabled(StatusField, false);
    }

    sim::SetupBytes& memory() { return rig.setupMemory(); }
    ui::RecordingHost& host() { return rig.host(); }
    std::size_t messageCount() { return host().messages.size(); }

    void read(SettingsArea area = SettingsArea::Current) { readSettings(ctx, area); }
    void write(SettingsArea area = SettingsArea::Current) { writeSettings(ctx, area); }
    // A check box toggles itself before its handler runs, as under the mouse.
    void click(ui::ControlId id) {
        if (dialog.control(id).kind == ui::Kind::CheckBox) {
            dialog.setChecked(id, !dialog.checked(id));
        }
        handleOptionCommand(ctx, id);
    }
    void type(ui::ControlId id, const std::string& text) { dialog.setText(id, text); }

    // A read that must succeed, with no box shown.
    void readOk(SettingsArea area = SettingsArea::Current) {
        const std::size_t before = messageCount();
        read(area);
        if (messageCount() != before) {
            throw std::runtime_error("read refused: " + host().lastText());
        }
    }
};

}  // namespace settings::testing
