// The main dialog's status field and the shared failure ending.
#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"

namespace clink {

namespace {

ui::Dialog* statusDialog(LinkContext& ctx) {
    ui::Dialog* dialog = ctx.mainWindow;
    return dialog != nullptr && dialog->has(ids::StatusField) ? dialog : nullptr;
}

}  // namespace

void setStatusText(LinkContext& ctx, std::string_view text) {
    if (ui::Dialog* dialog = statusDialog(ctx)) {
        dialog->setText(ids::StatusField, std::string(text));
    }
}

void setStatusEnabled(LinkContext& ctx, bool enabled) {
    if (ui::Dialog* dialog = statusDialog(ctx)) {
        dialog->setEnabled(ids::StatusField, enabled);
    }
}

void repaintMain(LinkContext& ctx) {
    if (ctx.mainWindow != nullptr) {
        ctx.host.repaint(*ctx.mainWindow);
    }
}

void showStatus(LinkContext& ctx, std::string_view text) {
    setStatusEnabled(ctx, true);
    setStatusText(ctx, text);
    repaintMain(ctx);
}

void settleStatus(LinkContext& ctx, std::string_view text) {
    setStatusText(ctx, text);
    setStatusEnabled(ctx, false);
    repaintMain(ctx);
}

void clearStatus(LinkContext& ctx) {
    settleStatus(ctx, texts::StatusBlank);
}

void errorTail(LinkContext& ctx) {
    setStatusEnabled(ctx, true);
    repaintMain(ctx);
    setStatusText(ctx, texts::StatusBlank);
    (void)ctx.host.messageBox(ctx.mainWindow, ctx.messageText, texts::ErrorCaption);
    setStatusEnabled(ctx, false);
    repaintMain(ctx);
}

}  // namespace clink
