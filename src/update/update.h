// "Update-Datei öffnen": loads an update file into the controller through its bootloader.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/link_context.h"

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

void runUpdate(UpdateContext& ctx);

}  // namespace update
