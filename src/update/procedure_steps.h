// The stages of "Update-Datei öffnen", each ending with its own messages when it fails.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "update/update.h"
#include "update/update_image.h"

namespace update {

// 0xFFFF in setup bytes 32 and 33: the controller has had no RC setup.
inline constexpr std::int32_t noSetupVersion = 0xFFFF;

// A box without owner window and with an OK button only.
void showBox(UpdateContext& ctx, std::string_view text, std::string_view caption = "");

// Probes, detects the adapter and starts the controller until its bootloader answers.
bool enterBootloader(UpdateContext& ctx);
// Reads the controller's version and checks it against the file name; gives the question
// to confirm with.
bool acceptVersion(UpdateContext& ctx, std::string& question);
// Reads, decodes and checks the whole file.
bool acceptFile(UpdateContext& ctx, UpdateImage& image);
// Sends every record page by page, commits, and allows the RC setup again.
void programRecords(UpdateContext& ctx, const std::vector<UpdateRecord>& records);

}  // namespace update
