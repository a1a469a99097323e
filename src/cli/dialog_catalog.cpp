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

bool isClickable(ui::Kind kind) {
    return kind == ui::Kind::PushButton || kind == ui::Kind::DefPushButton ||
           kind == ui::Kind::CheckBox || kind == ui::Kind::RadioButton ||
           kind == ui::Kind::AutoRadioButton;
}

}  // namespace cli
