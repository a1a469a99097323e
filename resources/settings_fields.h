// The main dialog's settings fields, each with the one label the program calls it by: in
// the settings list, in a comparison with a backup and in a write that stopped half-way.
// A backup holds their controls in this order.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "ui/dialog_template.h"

namespace resources {

struct SettingsField {
    std::string_view label;
    std::vector<ui::ControlId> controls;  // one control, or the buttons of a radio group
};

std::span<const SettingsField> settingsFields();
// The controls of every field, in the table's order.
std::span<const ui::ControlId> settingsFieldControls();
// The label of the field id belongs to, or of a log counter; empty for anything else.
std::string_view fieldLabel(ui::ControlId id);

}  // namespace resources
