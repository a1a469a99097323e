// The main dialog's dispatch table: the one place where command ids meet code.
#pragma once

#include <span>
#include <variant>

#include "shell/app.h"

namespace shell {

// What a command is besides its code; the safety checks around commands ask the table.
enum CommandTrait : unsigned {
    ReadsSettings = 1,     // puts the controller's settings into the dialog
    WritesSettings = 2,    // stores the dialog's settings in the controller
    WritesController = 4,  // changes the controller: --backup-required wants a backup first
    ShowsResult = 8,       // its boxes are a result the user asked for
};

// The handler of a row, with what it works on; the id goes to those that take one, the
// row's settings area to readSettings and writeSettings.
using CommandHandler =
    std::variant<ui::Outcome (*)(App&), ui::Outcome (*)(App&, ui::ControlId),
                 ui::Outcome (*)(settings::SettingsContext&),
                 ui::Outcome (*)(settings::SettingsContext&, ui::ControlId),
                 ui::Outcome (*)(settings::SettingsContext&, settings::SettingsArea),
                 ui::Outcome (*)(isp::IspContext&), ui::Outcome (*)(update::UpdateContext&)>;

// One command, or a range of ids handled alike.
struct DispatchRow {
    ui::ControlId first;
    ui::ControlId last;
    CommandHandler handler;
    unsigned traits = 0;
    settings::SettingsArea area = settings::SettingsArea::Current;
};

// Buttons and menu items of the template that deliberately have no row: check boxes and
// auto radio buttons change themselves and need no command.
std::span<const ui::ControlId> inertCommandIds();
// The row for id, or nullptr: an id without a row is ignored.
const DispatchRow* findCommand(ui::ControlId id);
// Whether the main dialog's command id has trait.
bool commandHas(ui::ControlId id, CommandTrait trait);
// Runs row's handler for id.
ui::Outcome runCommand(const DispatchRow& row, App& app, ui::ControlId id);

}  // namespace shell
