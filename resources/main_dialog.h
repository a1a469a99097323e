// The main dialog (1227) and its menu (156) as data.
#pragma once

#include "ui/dialog_template.h"

namespace resources {

const ui::DialogTemplate& mainDialogTemplate();

}  // namespace resources
