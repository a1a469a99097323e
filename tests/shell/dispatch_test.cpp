// The dispatch table against the main dialog's template.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "shell/dispatch.h"

namespace shell {
namespace {

std::set<ui::ControlId> templateCommandIds() {
    using enum ui::Kind;
    constexpr ui::Kind sources[] = {PushButton, DefPushButton, CheckBox, RadioButton,
                                    AutoRadioButton};
    const ui::DialogTemplate& main = resources::mainDialogTemplate();
    std::set<ui::ControlId> commandIds;
    for (const ui::ControlTemplate& control : main.controls) {
        if (control.id != ui::noId &&
            std::ranges::find(sources, control.kind) != std::end(sources)) {
            commandIds.insert(control.id);
        }
    }
    for (const ui::MenuItemTemplate& item : main.menu) {
        if (item.kind == ui::MenuKind::Item) {
            commandIds.insert(item.id);
        }
    }
    return commandIds;
}

TEST(DispatchTable, EveryButtonAndMenuItemHasARowOrIsInert) {
    const auto inert = inertCommandIds();
    for (ui::ControlId id : templateCommandIds()) {
        const bool handled = findCommand(id) != nullptr;
        EXPECT_NE(handled, std::ranges::find(inert, id) != inert.end())
            << "id " << id << (handled ? " has a row and is inert" : " has neither row nor reason");
    }
}

TEST(DispatchTable, RowsAreSortedNoIdIsTwiceAndEachIdIsSent) {
    std::set<ui::ControlId> known = templateCommandIds();
    known.insert({ids::Ok, ids::EndButton, VirtualControllerItem});
    const auto table = dispatchTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_LE(table[i].first, table[i].last);
        EXPECT_NE(table[i].handler, nullptr);
        if (i + 1 < table.size()) {
            EXPECT_LT(table[i].last, table[i + 1].first) << "row " << i;
        }
        for (ui::ControlId id = table[i].first; id <= table[i].last; ++id) {
            EXPECT_TRUE(known.contains(id)) << "row for an id nothing sends: " << id;
        }
    }
}

TEST(DispatchTable, IdsBetweenAndAroundRowsFindNothing) {
    for (ui::ControlId id : {0, -1, 3, 1103, 1148, 1154, 1169, 1172, 1239, 65535 + 1149}) {
        EXPECT_EQ(findCommand(id), nullptr) << id;
    }
    ASSERT_NE(findCommand(ids::Com5Item), nullptr);
    EXPECT_EQ(findCommand(ids::Com5Item)->first, ids::Com1Item);
}

}  // namespace
}  // namespace shell
