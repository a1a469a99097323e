#include "resources/main_dialog_ids.h"
#include "settings/settings.h"

namespace settings {

void fillMainDialogLists(ui::Dialog&) {}

}  // namespace settings
