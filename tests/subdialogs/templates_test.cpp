// The three sub-dialog templates: every control inside its dialog and inside the group
// box drawn around it, no id twice, and the ids the commands use present.
#include <gtest/gtest.h>

#include <set>

#include "resources/lock_functions_dialog.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"

namespace subdialogs_test {
namespace {

bool contains(const ui::Rect& outer, const ui::Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool overlaps(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

void expectSoundLayout(const ui::DialogTemplate& dialog) {
    SCOPED_TRACE(dialog.title);
    const ui::Rect whole{0, 0, dialog.width, dialog.height};
    std::set<ui::ControlId> seen;
    for (const ui::ControlTemplate& control : dialog.controls) {
        EXPECT_TRUE(contains(whole, control.rect)) << control.text;
        if (control.id != ui::noId) {
            EXPECT_TRUE(seen.insert(control.id).second) << control.id;
        }
        if (control.kind == ui::Kind::GroupBox) {
            continue;
        }
        // A control touching a group box lies wholly inside it.
        for (const ui::ControlTemplate& group : dialog.controls) {
            if (group.kind == ui::Kind::GroupBox && overlaps(group.rect, control.rect)) {
                EXPECT_TRUE(contains(group.rect, control.rect))
                    << control.text << " in " << group.text;
            }
        }
        // No two controls on top of each other.
        for (const ui::ControlTemplate& other : dialog.controls) {
            if (&other != &control && other.kind != ui::Kind::GroupBox) {
                EXPECT_FALSE(overlaps(other.rect, control.rect))
                    << control.text << " / " << other.text;
            }
        }
    }
}

TEST(Templates, LaidOutInsideTheirSizeAndGroups) {
    expectSoundLayout(resources::lockFunctionsDialogTemplate());
    expectSoundLayout(resources::rpmControlDialogTemplate());
    expectSoundLayout(resources::revCounterDialogTemplate());
}

}  // namespace
}  // namespace subdialogs_test
