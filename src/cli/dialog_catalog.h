// Which dialogs the steps can work on: the main dialog and the sub-dialogs its
// commands open.
#pragma once

#include "ui/dialog_template.h"

namespace cli {

// The template of the sub-dialog that command id of the main dialog opens, or nullptr.
const ui::DialogTemplate* subDialogOpenedBy(ui::ControlId id);

}  // namespace cli
