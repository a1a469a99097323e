// The main dialog's template and menu as the gui and the tests build them.
#include <gtest/gtest.h>

#include <set>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "ui/dialog.h"

namespace {

using namespace ids;

const ui::DialogTemplate& mainTemplate() {
    return resources::mainDialogTemplate();
}

TEST(MainDialogTemplate, EveryControlOnceAndInsideTheFrame) {
    const ui::DialogTemplate& t = mainTemplate();
    EXPECT_EQ(t.id, MainDialog);
    EXPECT_EQ(t.title, "ZEK - Micro  Setup ");
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontPoints, 8);
    EXPECT_EQ(t.width, 430);
    EXPECT_EQ(t.height, 225);
    std::set<ui::ControlId> seen;
    for (const ui::ControlTemplate& c : t.controls) {
        if (c.id != ui::noId) {
            EXPECT_TRUE(seen.insert(c.id).second) << "twice: " << c.id;
        }
        // A combo box's height is its dropped-down list, which may reach past the frame.
        const int height = c.kind == ui::Kind::ComboBox ? 12 : c.rect.height;
        EXPECT_TRUE(c.rect.x >= 0 && c.rect.x + c.rect.width <= t.width) << c.text;
        EXPECT_TRUE(c.rect.y >= 0 && c.rect.y + height <= t.height) << c.text;
    }
    EXPECT_EQ(t.controls.size(), 66u);
    EXPECT_EQ(seen.size(), 37u);
    // Tab order starts and ends as listed.
    EXPECT_EQ(t.controls[0].id, ReadButton);
    EXPECT_EQ(t.controls[1].id, EndButton);
    EXPECT_EQ(t.controls[1].kind, ui::Kind::DefPushButton);
    EXPECT_EQ(t.controls.back().text, "Hz");
}

TEST(MainDialogTemplate, InitialStatesComeFromTheFlags) {
    const ui::Dialog dialog(mainTemplate());
    EXPECT_FALSE(dialog.enabled(WriteButton));
    EXPECT_FALSE(dialog.visible(ReleaseButton));
    EXPECT_FALSE(dialog.enabled(MaxFrequencyField));
    EXPECT_TRUE(dialog.enabled(StatusField));
    EXPECT_EQ(dialog.text(OverTemperatureCheck), "Übertemp-Sch.");
    EXPECT_EQ(dialog.text(ToleranceHighRadio), "hoch (für Helis)");
    EXPECT_EQ(dialog.control(ToleranceSmallRadio).kind, ui::Kind::AutoRadioButton);
    EXPECT_EQ(dialog.control(IgnoreRadio).kind, ui::Kind::RadioButton);
}

TEST(MainMenu, ItemsCarryTheirIds) {
    const ui::Dialog dialog(mainTemplate());
    for (ui::ControlId id = Com1Item; id <= Com8Item; ++id) {
        EXPECT_TRUE(dialog.hasMenuItem(id)) << id;
    }
    for (ui::ControlId id : {OpenUpdateFileItem, ReadMemory1Item, ReadMemory2Item, WriteMemory1Item,
                             WriteMemory2Item, LockFunctionsItem, CalibrateItem, ProcessorInfoItem,
                             RevCounterItem, ServicePageItem, AboutItem}) {
        EXPECT_TRUE(dialog.menuItem(id).enabled) << id;
    }
    EXPECT_FALSE(dialog.menuItem(HelpFileItem).enabled);

    int popups = 0;
    std::set<ui::ControlId> seen;
    for (const ui::MenuItemTemplate& item : mainTemplate().menu) {
        if (item.kind == ui::MenuKind::Popup) {
            ++popups;
        } else {
            EXPECT_TRUE(seen.insert(item.id).second) << item.id;
        }
        if (item.id == RevCounterItem) {
            EXPECT_EQ(item.level, 0);  // a command directly on the bar
        }
    }
    EXPECT_EQ(popups, 5);
    EXPECT_EQ(mainTemplate().menu[2].text, "Port");  // the port commands check their marks there
}

}  // namespace
