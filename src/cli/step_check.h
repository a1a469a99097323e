// Everything that can be wrong with a command line is found before the first step
// runs, so that a usage error never sends anything to the controller.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/json.h"
#include "safety/settings_backup.h"
#include "ui/dialog.h"

namespace cli {

// Longer than any field of the dialogs takes.
inline constexpr std::size_t maxEditTextBytes = 255;

// Empty when the steps fit the dialogs they will act on (a sub-dialog from the click that
// opens it until a click on its 1 or 2) and every file they name can be used; else one
// line naming the first problem. backups receives, per step, the backup a
// load-settings step puts back.
std::string checkSteps(const std::vector<Step>& steps,
                       std::vector<std::optional<safety::SettingsBackup>>& backups);

// The files and the directory the options name.
std::string checkOptionFiles(const Options& options);

// Empty when value fits control id of dialog as a "set" step gives it; else why not.
std::string checkValue(const ui::Dialog& dialog, ui::ControlId id, const std::string& value);

// A list entry by its index or by its text as the list shows it; nullopt for neither.
std::optional<int> listIndex(const ui::ControlState& list, const std::string& value);

// The controls of every dialog a step may set, with their labels and the values they
// take, as the templates define them.
std::string settableControlsText();

}  // namespace cli
