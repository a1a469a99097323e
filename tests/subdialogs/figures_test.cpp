// The speed figures and typed numbers below the dialogs, and the three dialog layouts.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "resources/lock_functions_dialog.h"
#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "settings/rpm_figures.h"
#include "settings/subdialog_numbers.h"

namespace subdialogs_test {
namespace {

using namespace settings::subdialogs;
constexpr int intMax = std::numeric_limits<int>::max();

TEST(Figures, SinglePrecisionAndDamagedInput) {
    // 4.33 is 4.3299999… in single precision: 1000 × it truncates to 4329.
    EXPECT_EQ(figuresFromRotorSpeed(1000, {2, 4.33f}).motorSpeed, 4329);
    // A tiny ratio or a pole count of 0 from a hand-edited file: clamped or 0, never UB.
    EXPECT_EQ(speedsFromRate(551520, {2, 1e-6f}).rotorSpeed, intMax);
    EXPECT_EQ(speedsFromRate(60000, {0, 1.0f}).motorSpeed, 0);
    EXPECT_EQ(figuresFromRotorSpeed(99999999, {98, 99999.99f}).motorSpeed, intMax);
    EXPECT_EQ(revFiguresFromPulses(intMax, {2, 1.0f}).perMinute, intMax);
    EXPECT_FALSE(periodForFrequency(-5, 8));
    EXPECT_EQ(readIntegerField("12345678901234567890", 40), intMax);
    EXPECT_FALSE(readIntegerField("-", 9));
    EXPECT_FALSE(readIntegerField(" +", 9));
    EXPECT_EQ(truncateToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(truncateToInt(-2.9), -2);
}

bool contains(const ui::Rect& outer, const ui::Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool overlaps(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

// Every control inside its dialog, inside any group box it touches, on top of no other
// control, and no id twice.
TEST(Templates, LaidOutInsideTheirSizeAndGroups) {
    for (const ui::DialogTemplate& dialog :
         {resources::lockFunctionsDialogTemplate(), resources::rpmControlDialogTemplate(),
          resources::revCounterDialogTemplate()}) {
        SCOPED_TRACE(dialog.title);
        std::set<ui::ControlId> seen;
        for (const ui::ControlTemplate& control : dialog.controls) {
            EXPECT_TRUE(contains({0, 0, dialog.width, dialog.height}, control.rect))
                << control.text;
            EXPECT_TRUE(control.id == ui::noId || seen.insert(control.id).second) << control.id;
            if (control.kind == ui::Kind::GroupBox) {
                continue;
            }
            for (const ui::ControlTemplate& other : dialog.controls) {
                if (other.kind == ui::Kind::GroupBox && overlaps(other.rect, control.rect)) {
                    EXPECT_TRUE(contains(other.rect, control.rect))
                        << control.text << " in " << other.text;
                } else if (&other != &control && other.kind != ui::Kind::GroupBox) {
                    EXPECT_FALSE(overlaps(other.rect, control.rect))
                        << control.text << " / " << other.text;
                }
            }
        }
    }
}

}  // namespace
}  // namespace subdialogs_test
