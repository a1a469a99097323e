#include "config/update_path.h"
#include "update/file_name.h"
#include "update/read_file.h"
#include "update/update.h"

namespace update {

bool chooseUpdateFile(UpdateContext& ctx) {
    const std::optional<std::string> chosen = ctx.link.host.chooseOpenFile(
        ui::FileDialogRequest{"Open a File", "*.upd", ctx.state.resumeFilePath});
    if (!chosen || chosen->empty()) {
        return false;
    }
    ctx.state.updateFilePath = *chosen;
    return true;
}

RememberResult rememberUpdatePath(UpdateContext& ctx) {
    UpdateState& state = ctx.state;
    if (!updateFileOpens(state.updateFilePath)) {
        return RememberResult::FileMissing;
    }
    const std::optional<UpdatePathParts> parts = cutUpdatePath(state.updateFilePath);
    if (!parts) {
        ctx.link.messageText = "Open Error!";
        return RememberResult::NoExtension;
    }
    state.updateFilePath = parts->path;
    state.updateFileName = parts->fileName;
    switch (config::storeUpdatePath(ctx.link.port.startDirectory, state.updateFilePath)) {
        case config::StorePathResult::Stored:
            return RememberResult::Stored;
        case config::StorePathResult::CannotOpen:
        case config::StorePathResult::WriteFailed:
            ctx.link.messageText = "Open Error 'qvsetup.cfg'!";
            return RememberResult::ConfigNotStored;
        case config::StorePathResult::PathTooLong:
            // Kept out of the file so that it cannot reach the motor data.
            return RememberResult::ConfigNotStored;
    }
    return RememberResult::ConfigNotStored;
}

}  // namespace update
