// The dispatch table against the main dialog's template.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "shell/dispatch.h"

namespace shell {
namespace {

bool isCommandSource(ui::Kind kind) {
    switch (kind) {
        case ui::Kind::PushButton:
        case ui::Kind::DefPushButton:
        case ui::Kind::CheckBox:
        case ui::Kind::RadioButton:
        case ui::Kind::AutoRadioButton:
            return true;
        default:
            return false;
    }
}

std::set<ui::ControlId> templateCommandIds() {
    const ui::DialogTemplate& main = resources::mainDialogTemplate();
    std::set<ui::ControlId> commandIds;
    for (const ui::ControlTemplate& control : main.controls) {
        if (control.id != ui::noId && isCommandSource(control.kind)) {
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
        const bool isInert = std::find(inert.begin(), inert.end(), id) != inert.end();
        EXPECT_NE(handled, isInert)
            << "id " << id << (handled ? " has a row and is inert" : " has neither row nor reason");
    }
}

TEST(DispatchTable, RowsAreSortedAndNoIdIsTwice) {
    const auto table = dispatchTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_LE(table[i].first, table[i].last);
        EXPECT_NE(table[i].handler, nullptr);
        if (i + 1 < table.size()) {
            EXPECT_LT(table[i].last, table[i + 1].first) << "row " << i;
        }
    }
}

TEST(DispatchTable, RowsNameOnlyTemplateCommandsAndTheTwoDialogCommands) {
    // A row for an id nothing sends is a typo in the table.
    std::set<ui::ControlId> known = templateCommandIds();
    known.insert({ids::Ok, ids::EndButton, VirtualControllerItem});
    for (const DispatchRow& row : dispatchTable()) {
        for (ui::ControlId id = row.first; id <= row.last; ++id) {
            EXPECT_TRUE(known.count(id)) << "row for unknown id " << id;
        }
    }
}

TEST(DispatchTable, IdsBetweenAndAroundRowsFindNothing) {
    for (ui::ControlId id : {0, -1, 3, 1103, 1148, 1154, 1169, 1172, 1239, 65535 + 1149}) {
        EXPECT_EQ(findCommand(id), nullptr) << id;
    }
    EXPECT_NE(findCommand(ids::Com5Item), nullptr);
    EXPECT_EQ(findCommand(ids::Com5Item)->first, ids::Com1Item);
}

}  // namespace
}  // namespace shell
