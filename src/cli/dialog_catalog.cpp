#include "cli/dialog_catalog.h"

#include "resources/lock_functions_dialog.h"
#include "resources/main_dialog_ids.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"

namespace cli {

const ui::DialogTemplate* subDialogOpenedBy(ui::ControlId id) {
    switch (id) {
        case ids::LockFunctionsItem:
            return &resources::lockFunctionsDialogTemplate();
        case ids::RpmSettingsButton:
            return &resources::rpmControlDialogTemplate();
        case ids::RevCounterItem:
            return &resources::revCounterDialogTemplate();
        default:
            return nullptr;
    }
}

}  // namespace cli
