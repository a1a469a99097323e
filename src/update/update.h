// "Update-Datei öffnen": loads an update file into the controller through its bootloader.
#pragma once

#include <cstdint>
#include <functional>
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
    // The file of an update that did not finish: the file dialog starts with it.
    std::string resumeFilePath;
};

struct UpdateContext {
    adapter::LinkContext& link;
    UpdateState& state;
    std::int32_t& controllerVersion;  // the settings' SetupImage field
    // Told before the first page goes out and after the last step succeeded: the shell
    // keeps the record of an update in progress with them, so a broken one can be resumed.
    std::function<void(const std::string& filePath)> started = {};
    std::function<void()> finished = {};
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
