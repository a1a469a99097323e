#include "settings/subdialog_link.h"

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"

namespace settings::subdialogs {

void showMainStatus(SettingsContext& ctx, std::string_view text) {
    ctx.mainDialog.setEnabled(ids::StatusField, true);
    ctx.mainDialog.setText(ids::StatusField, std::string(text));
    ctx.link.host.repaint(ctx.mainDialog);
}

void clearMainStatus(SettingsContext& ctx) {
    settleMainStatus(ctx, " ");
}

void settleMainStatus(SettingsContext& ctx, std::string_view text) {
    ctx.mainDialog.setText(ids::StatusField, std::string(text));
    ctx.mainDialog.setEnabled(ids::StatusField, false);
    ctx.link.host.repaint(ctx.mainDialog);
}

}  // namespace settings::subdialogs
