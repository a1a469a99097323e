// The main dialog's settings commands and the three settings sub-dialogs.
#pragma once

#include <cstdint>

#include "adapter/link_context.h"
#include "settings/setup_image.h"
#include "ui/dialog.h"

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
void readSettings(SettingsContext& ctx, SettingsArea area);
// "Schreiben" (1150), "Modellspeicher 1/2 schreiben " (1200, 1201).
void writeSettings(SettingsContext& ctx, SettingsArea area);
// Option interplay: 1138, 1139, 1168, 1170, 1171, 1175, 1183, 1184, 1193.
void handleOptionCommand(SettingsContext& ctx, ui::ControlId id);

// Sub-dialogs: "Sperrfunktionen" (1202), "Einstellungen" (1210), "Drehzahl messen" (1238).
void openLockFunctions(SettingsContext& ctx);
void openRpmControl(SettingsContext& ctx);
void openRevCounter(SettingsContext& ctx);

}  // namespace settings
