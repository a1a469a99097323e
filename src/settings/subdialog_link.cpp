#include "settings/subdialog_link.h"

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog_ids.h"

namespace settings::subdialogs {

Connection reconnect(SettingsContext& ctx, int firstAnswer) {
    if (firstAnswer != clink::answerReady) {
        if (adapter::detectAdapter(ctx.link) != 0) {
            return Connection::NoAdapter;
        }
        adapter::startController(ctx.link, adapter::StartForm::Standard);
    }
    const int answer = clink::probeExchange(ctx.link);
    if (answer == clink::answerReady) {
        return Connection::Ready;
    }
    return answer == clink::answerOtherDevice ? Connection::OtherDevice : Connection::NoAnswer;
}

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
