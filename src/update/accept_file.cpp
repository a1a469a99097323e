#include "link/link.h"
#include "update/procedure_steps.h"
#include "update/read_file.h"

namespace update {

ui::Outcome acceptFile(UpdateContext& ctx, UpdateImage& image) {
    const std::optional<std::string> bytes = readUpdateFileBytes(ctx.state.updateFilePath);
    if (!bytes) {
        showBox(ctx, "file error 1!");
        clink::clearStatus(ctx.link);
        return ui::Outcome::Failed;
    }
    image = readUpdateImage(*bytes);
    ctx.state.form = image.form;
    switch (image.verdict) {
        case FileVerdict::Accepted:
            return ui::Outcome::Done;
        case FileVerdict::WrongFile:
            showBox(ctx, "wrong file!", "ERROR:");
            break;
        case FileVerdict::SeparatorMissing:
            showBox(ctx, "file error 5!");
            break;
        case FileVerdict::BadCharacter:
            ctx.link.messageText = "file error 6!";
            clink::clearStatus(ctx.link);
            clink::errorTail(ctx.link);
            return ui::Outcome::Failed;
        case FileVerdict::NoRecord:
            showBox(ctx, "file error 4!");
            break;
        case FileVerdict::AddressTooHigh:
            showBox(ctx, "file error 7: address 4000 or above!");
            break;
    }
    clink::clearStatus(ctx.link);
    return ui::Outcome::Failed;
}

}  // namespace update
