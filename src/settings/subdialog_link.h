// Link steps the three sub-dialogs share: getting the controller to answer, and the main
// dialog's status field around their work.
#pragma once

#include <string_view>

#include "link/link.h"
#include "settings/settings.h"

namespace settings::subdialogs {

using clink::Connection;
inline Connection reconnect(SettingsContext& ctx, int firstAnswer) {
    return clink::reconnect(ctx.link, firstAnswer);
}

// The main dialog's status field, repainted at once.
void showMainStatus(SettingsContext& ctx, std::string_view text);
// Blank (one blank), disabled, repainted.
void clearMainStatus(SettingsContext& ctx);
// A finished step: text, disabled, repainted.
void settleMainStatus(SettingsContext& ctx, std::string_view text);

}  // namespace settings::subdialogs
