#include "resources/main_dialog_ids.h"
#include "settings/settings.h"

namespace settings {

namespace {

constexpr const char* timingEntries[] = {" 0°", " 7,5°", "15,0°", "22,5°", "30,0°", "auto"};
constexpr const char* brakeEntries[] = {"aus", "hart", "mittel", "weich"};

}  // namespace

void fillMainDialogLists(ui::Dialog& mainDialog) {
    // Filled once; a second call must not double the entries.
    if (mainDialog.items(ids::TimingList).empty()) {
        for (const char* entry : timingEntries) {
            mainDialog.addItem(ids::TimingList, entry);
        }
    }
    if (mainDialog.items(ids::BrakeList).empty()) {
        for (const char* entry : brakeEntries) {
            mainDialog.addItem(ids::BrakeList, entry);
        }
    }
}

}  // namespace settings
