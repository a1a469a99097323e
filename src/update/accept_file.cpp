#include "link/link.h"
#include "update/procedure_steps.h"
#include "update/read_file.h"

namespace update {

bool acceptFile(UpdateContext& ctx, UpdateImage& image) {
    const std::optional<std::string> bytes = readUpdateFileBytes(ctx.state.updateFilePath);
    if (!bytes) {
        showBox(ctx, "file error 1!");
        clink::clearStatus(ctx.link);
        return false;
    }
    image = readUpdateImage(*bytes);
    ctx.state.form = image.form;
    switch (image.verdict) {
        case FileVerdict::Accepted:
            return true;
        case FileVerdict::WrongFile:
            showBox(ctx, "wrong file!", "ERROR:");
            clink::clearStatus(ctx.link);
            return false;
        case FileVerdict::SeparatorMissing:
            showBox(ctx, "file error 5!");
            clink::clearStatus(ctx.link);
            return false;
        case FileVerdict::BadCharacter:
            ctx.link.messageText = "file error 6!";
            clink::clearStatus(ctx.link);
            clink::errorTail(ctx.link);
            return false;
        case FileVerdict::NoRecord:
            showBox(ctx, "file error 4!");
            clink::clearStatus(ctx.link);
            return false;
        case FileVerdict::AddressTooHigh:
            showBox(ctx, "file error 7: address 4000 or above!");
            clink::clearStatus(ctx.link);
            return false;
    }
    return false;
}

}  // namespace update
