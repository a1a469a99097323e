// The main dialog's settings commands and the three settings sub-dialogs.
#pragma once

#include <cstdint>

#include "adapter/link_context.h"
#include "settings/setup_image.h"
#include "ui/dialog.h"
#include "ui/outcome.h"

namespace settings {

struct SettingsContext {
    adapter::LinkContext& link;
    ui::Dialog& mainDialog;
    SetupImage& image;
    MotorData& motorData;
    std::uint8_t& lockByte;
};

// Dialog initialisation: fills the timing (1140) and brake (1146) lists, nothing selected.
void fillMainDialogLists(ui::Dialog& mainDialog);

// "Lesen" (1149), "Modellspeicher 1/2 lesen" (1198, 1199).
ui::Outcome readSettings(SettingsContext& ctx, SettingsArea area);
// "Schreiben" (1150), "Modellspeicher 1/2 schreiben " (1200, 1201).
ui::Outcome writeSettings(SettingsContext& ctx, SettingsArea area);
// Option interplay: 1138, 1139, 1168, 1170, 1171, 1175, 1183, 1184, 1193.
ui::Outcome handleOptionCommand(SettingsContext& ctx, ui::ControlId id);

// Sub-dialogs: "Sperrfunktionen" (1202), "Einstellungen" (1210), "Drehzahl messen" (1238).
// The outcome is the opening's when it refused or failed, else the worst of the commands
// run inside the dialog.
ui::Outcome openLockFunctions(SettingsContext& ctx);
ui::Outcome openRpmControl(SettingsContext& ctx);
ui::Outcome openRevCounter(SettingsContext& ctx);

}  // namespace settings
