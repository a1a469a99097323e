// The main dialog's template and menu as the gui and the tests build them.
#include <gtest/gtest.h>

#include <set>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "ui/dialog.h"

namespace {

using namespace ids;

TEST(MainDialogTemplate, EveryControlOnceAndInsideTheFrame) {
    const ui::DialogTemplate& t = resources::mainDialogTemplate();
    EXPECT_EQ(t.width, 430);
    EXPECT_EQ(t.height, 225);
    std::set<ui::ControlId> seen;
    for (const ui::ControlTemplate& c : t.controls) {
        EXPECT_TRUE(c.id == ui::noId || seen.insert(c.id).second) << "twice: " << c.id;
        // A combo box's height is its dropped-down list, which may reach past the frame.
        const int height = c.kind == ui::Kind::ComboBox ? 12 : c.rect.height;
        EXPECT_TRUE(c.rect.x >= 0 && c.rect.x + c.rect.width <= t.width) << c.text;
        EXPECT_TRUE(c.rect.y >= 0 && c.rect.y + height <= t.height) << c.text;
    }
    EXPECT_EQ(t.controls.size(), 66u);
    EXPECT_EQ(seen.size(), 37u);
    EXPECT_EQ(t.controls[1].kind, ui::Kind::DefPushButton);
}

TEST(MainMenu, ItemsCarryTheirIds) {
    const ui::Dialog dialog(resources::mainDialogTemplate());
    for (ui::ControlId id :
         {Com1Item, Com8Item, OpenUpdateFileItem, WriteMemory2Item, LockFunctionsItem,
          RevCounterItem, AboutItem, SaveSettingsItem, LoadSettingsItem, BackupsItem}) {
        EXPECT_TRUE(dialog.hasMenuItem(id) && dialog.menuItem(id).enabled) << id;
    }
    EXPECT_FALSE(dialog.menuItem(HelpFileItem).enabled);
    // "Datei" holds the update item and the three settings items, then "Port" follows.
    EXPECT_EQ(resources::mainDialogTemplate().menu[1].id, OpenUpdateFileItem);
    EXPECT_EQ(resources::mainDialogTemplate().menu[5].text, "Port");
}

}  // namespace
