#include "link/link.h"
#include "update/procedure_steps.h"
#include "update/read_file.h"
#include "update/update.h"

namespace update {

void showBox(UpdateContext& ctx, std::string_view text, std::string_view caption) {
    ctx.link.host.messageBox(nullptr, text, caption);
}

void runUpdate(UpdateContext& ctx) {
    adapter::LinkContext& link = ctx.link;
    // The bootloader is reached only through the serial adapter.
    if (link.port.kind != adapter::PortKind::Serial) {
        showBox(ctx, "  PORT ?", "ERROR!");
        return;
    }
    clink::setStatusText(link, " ");
    clink::repaintMain(link);
    if (!chooseUpdateFile(ctx)) {
        return;
    }
    if (!updateFileOpens(ctx.state.updateFilePath)) {
        showBox(ctx, "open error!");
        return;
    }
    switch (rememberUpdatePath(ctx)) {
        case RememberResult::FileMissing:
            // Gone since it was opened a moment ago; the file name would be the last run's.
            showBox(ctx, "open error!");
            return;
        case RememberResult::NoExtension:
            // Without ".upd" there is no file name to check the versions against.
            clink::errorTail(link);
            return;
        case RememberResult::Stored:
        case RememberResult::ConfigNotStored:  // only a record of the path; the update goes on
            break;
    }
    clink::setStatusEnabled(link, true);
    clink::setStatusText(link, ctx.state.updateFileName);
    clink::repaintMain(link);

    std::string question;
    UpdateImage image;
    if (!enterBootloader(ctx) || !acceptVersion(ctx, question) || !acceptFile(ctx, image)) {
        return;
    }
    if (link.host.messageBox(nullptr, question, "Warning!", ui::Buttons::OkCancel) ==
        ui::Answer::Cancel) {
        clink::clearStatus(ctx.link);
        return;
    }
    programRecords(ctx, image.records);
}

}  // namespace update
