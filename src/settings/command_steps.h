// Steps the main dialog's settings commands share: progress in the status field,
// refusals and the failure ending.
#pragma once

#include <functional>
#include <string_view>

#include "settings/settings.h"

namespace settings {

// messageText = message, then the shared failure ending; gives outcome back.
ui::Outcome failThroughErrorTail(SettingsContext& ctx, std::string_view message,
                                 ui::Outcome outcome);
// texts::ReadFirst in a box without owner; Refused.
ui::Outcome refuseBeforeRead(SettingsContext& ctx);
// A box owned by the main dialog.
void showOwnedMessage(SettingsContext& ctx, std::string_view message, std::string_view caption);
// After a model memory was read or written: the current-area-only controls are
// blanked and disabled, and "Schreiben" with them.
void blankCurrentOnlyControls(ui::Dialog& dialog, std::string_view maxFrequencyText);
// Runs a sub-dialog owned by the main dialog; its outcome is the worst of the commands
// run in it (Done when none did anything).
ui::Outcome runSubDialog(SettingsContext& ctx, ui::Dialog& dialog,
                         const std::function<void()>& onInit,
                         const ui::UiHost::CommandFunction& onCommand);
// A setup byte read for the settings, remembered in image.knownBytes.
[[nodiscard]] int readKnownByte(SettingsContext& ctx, int address);

}  // namespace settings
