// What the console prints of a dialog: one text line per control and menu item, or the
// same state as JSON.
#pragma once

#include <string>

#include "cli/json.h"
#include "resources/language.h"
#include "ui/dialog.h"

namespace cli {

// The name a reader knows a control by: its own text (buttons, check boxes, radios),
// else the label beside it (both lines of a two-line label), else the group box around
// it; "-" when there is none.
std::string controlLabel(const ui::DialogTemplate& dialogTemplate, ui::ControlId id);

// "ID  LABEL  "TEXT"  [checked] [disabled] [hidden]" per control in tab order, then
// "ID  POPUP  "ITEM"  [checked] [disabled]" per menu item.
std::string showText(const ui::Dialog& dialog, lang::Language language = lang::Language::German);

// {"ID": {"text", "checked", "enabled", "visible", "selection"}, …} in tab order; the
// text as language shows it, and "textName" beside it where the text is one of the system's.
json::Value controlsJson(const ui::Dialog& dialog,
                         lang::Language language = lang::Language::German);
// {"ID": {"enabled", "checked"}, …} in menu order.
json::Value menuJson(const ui::Dialog& dialog);

}  // namespace cli
