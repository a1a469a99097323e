// "Update-Datei öffnen": loads an update file into the controller through its bootloader.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/link_context.h"
#include "ui/outcome.h"

namespace update {

enum class UpdateForm { Plain, Scrambled };

// Kept between runs of the command.
struct UpdateState {
    std::string updateFilePath;
    std::string updateFileName;
    UpdateForm form = UpdateForm::Plain;
};

struct UpdateContext {
    adapter::LinkContext& link;
    UpdateState& state;
    std::int32_t& controllerVersion;  // the settings' SetupImage field
};

ui::Outcome runUpdate(UpdateContext& ctx);

// The file-open dialog ("Open a File", "*.upd"); false when cancelled or no name came back.
// Otherwise the chosen path becomes state.updateFilePath.
[[nodiscard]] bool chooseUpdateFile(UpdateContext& ctx);

enum class [[nodiscard]] RememberResult{
    Stored,
    FileMissing,      // the path is empty or its file cannot be opened
    NoExtension,      // no ".upd" at positions 1 … 250: "Open Error!" in messageText
    ConfigNotStored,  // qvsetup.cfg cannot be opened, or the path is too long to store
};

// Cuts state.updateFilePath after ".upd", takes updateFileName from it and records the
// path in qvsetup.cfg in the start directory.
RememberResult rememberUpdatePath(UpdateContext& ctx);

}  // namespace update
