#include "link/link.h"
#include "resources/texts.h"
#include "update/procedure_steps.h"
#include "update/read_file.h"
#include "update/update.h"

namespace update {

void showBox(UpdateContext& ctx, std::string_view text, std::string_view caption) {
    ctx.link.host.messageBox(nullptr, text, caption);
}

ui::Outcome runUpdate(UpdateContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    // The bootloader is reached only through the serial adapter.
    if (link.port.kind != adapter::PortKind::Serial) {
        showBox(ctx, texts::PortQuery, texts::ErrorUpperCaption);
        return ui::Outcome::Refused;
    }
    clink::setStatusText(link, " ");
    clink::repaintMain(link);
    if (!chooseUpdateFile(ctx)) {
        return ui::Outcome::Cancelled;
    }
    constexpr std::string_view openError = "open error!";
    if (!updateFileOpens(ctx.state.updateFilePath)) {
        showBox(ctx, openError);
        return ui::Outcome::Failed;
    }
    switch (rememberUpdatePath(ctx)) {
        case RememberResult::FileMissing:
            // Gone since it was opened a moment ago; the file name would be the last run's.
            showBox(ctx, openError);
            return ui::Outcome::Failed;
        case RememberResult::NoExtension:
            // Without ".upd" there is no file name to check the versions against.
            clink::errorTail(link);
            return ui::Outcome::Failed;
        case RememberResult::Stored:
        case RememberResult::ConfigNotStored:  // only a record of the path; the update goes on
            break;
    }
    clink::setStatusEnabled(link, true);
    clink::setStatusText(link, ctx.state.updateFileName);
    clink::repaintMain(link);

    std::string question;
    UpdateImage image;
    ui::Outcome outcome = enterBootloader(ctx);
    if (outcome == ui::Outcome::Done) {
        outcome = acceptVersion(ctx, question);
    }
    if (outcome == ui::Outcome::Done) {
        outcome = acceptFile(ctx, image);
    }
    if (outcome != ui::Outcome::Done) {
        return outcome;
    }
    if (link.host.messageBox(nullptr, question, "Warning!", ui::Buttons::OkCancel) ==
        ui::Answer::Cancel) {
        clink::clearStatus(ctx.link);
        return ui::Outcome::Cancelled;
    }
    if (ctx.started) {
        ctx.started(ctx.state.updateFilePath);
    }
    const ui::Outcome programmed = programRecords(ctx, image.records);
    if (programmed == ui::Outcome::Done && ctx.finished) {
        ctx.finished();
    }
    return programmed;
}

}  // namespace update
