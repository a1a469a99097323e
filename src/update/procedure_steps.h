// The stages of "Update-Datei öffnen", each ending with its own messages when it fails.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "controller/setup_map.h"
#include "update/update.h"
#include "update/update_image.h"

namespace update {

// Bytes 32 and 33 erased: the controller has had no RC setup. Also what the settings'
// version is left at when the controller must be read again.
inline constexpr std::int32_t noSetupVersion = controller::versionErased;

// A box without owner window and with an OK button only.
void showBox(UpdateContext& ctx, std::string_view text, std::string_view caption = "");

// Each stage gives Done to go on, or how the update ended after its messages.

// Probes, detects the adapter and starts the controller until its bootloader answers.
ui::Outcome enterBootloader(UpdateContext& ctx);
// Reads the controller's version and checks it against the file name; gives the question
// to confirm with.
ui::Outcome acceptVersion(UpdateContext& ctx, std::string& question);
// Reads, decodes and checks the whole file.
ui::Outcome acceptFile(UpdateContext& ctx, UpdateImage& image);
// Sends every record page by page, commits, and allows the RC setup again. Once the
// firmware is in, the update is done even when allowing the RC setup fails (said in a box).
ui::Outcome programRecords(UpdateContext& ctx, const std::vector<UpdateRecord>& records);

}  // namespace update
