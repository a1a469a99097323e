// Link steps the three sub-dialogs share: getting the controller to answer, and the main
// dialog's status field around their work.
#pragma once

#include <string_view>

#include "settings/settings.h"

namespace settings::subdialogs {

enum class Connection { Ready, NoAdapter, OtherDevice, NoAnswer };

// After a probe that answered firstAnswer: when the controller was not ready, the adapter
// test and a restart; then the probe again. NoAdapter leaves the reason in messageText.
Connection reconnect(SettingsContext& ctx, int firstAnswer);

// The main dialog's status field, repainted at once.
void showMainStatus(SettingsContext& ctx, std::string_view text);
// Blank (one blank), disabled, repainted.
void clearMainStatus(SettingsContext& ctx);
// A finished step: text, disabled, repainted.
void settleMainStatus(SettingsContext& ctx, std::string_view text);

}  // namespace settings::subdialogs
