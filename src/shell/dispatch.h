// The main dialog's dispatch table: the one place where command ids meet code.
#pragma once

#include <span>

#include "shell/app.h"

namespace shell {

// How the command ended: the front ends act on it.
using CommandHandler = ui::Outcome (*)(App& app, ui::ControlId id);

// One command, or a range of ids handled alike; the handler receives the id.
struct DispatchRow {
    ui::ControlId first;
    ui::ControlId last;
    CommandHandler handler;
};

// Sorted by id, no id twice.
std::span<const DispatchRow> dispatchTable();
// Buttons and menu items of the template that deliberately have no row: check boxes and
// auto radio buttons change themselves and need no command.
std::span<const ui::ControlId> inertCommandIds();
// The row for id, or nullptr: an id without a row is ignored.
const DispatchRow* findCommand(ui::ControlId id);

}  // namespace shell
