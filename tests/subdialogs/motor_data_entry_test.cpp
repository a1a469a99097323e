// "Werte speichern" / "Werte übernehmen": qvsetup.cfg byte for byte after every accepted
// and refused entry, in both dialogs that offer it.
#include <gtest/gtest.h>

#include <string>

#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using Command = SubdialogRig::Command;

std::string configWith(const std::string& motorFields) {
    std::string bytes = "COM2";
    bytes.resize(256, '\0');
    return bytes + motorFields;
}

const std::string normalFields = std::string(
    " 2\0\0"
    "1.00",
    8);

struct Entry {
    const char* poles;
    const char* ratio;
};

// Runs one entry through the given dialog's save button; returns the ratio field after it.
std::string saveIn(SubdialogRig& rig, bool revCounter, Entry entry,
                   const std::function<void()>& beforeSave = {}) {
    std::string ratioField;
    rig.whenOpen([&](ui::Dialog& dialog, const Command& command) {
        if (beforeSave) {
            beforeSave();
        }
        const ui::ControlId poles = revCounter ? rev_ids::PoleCountField : rpm_ids::PoleCountField;
        const ui::ControlId ratio = revCounter ? rev_ids::GearRatioField : rpm_ids::GearRatioField;
        dialog.setText(poles, entry.poles);
        dialog.setText(ratio, entry.ratio);
        command(revCounter ? rev_ids::SaveMotorDataButton : rpm_ids::SaveMotorDataButton);
        ratioField = dialog.text(ratio);
    });
    rig.memory()[13] = 0xFD;
    if (revCounter) {
        settings::openRevCounter(rig.ctx);
    } else {
        settings::openRpmControl(rig.ctx);
    }
    return ratioField;
}

class MotorDataEntryTest : public ::testing::TestWithParam<bool> {};

TEST_P(MotorDataEntryTest, AcceptedEntriesAreStoredInNormalForm) {
    struct Case {
        Entry entry;
        std::string fields;
        const char* ratioField;
        float ratio;
    };
    const Case cases[] = {
        {{"4", "4,5"},
         std::string(" 4\0\0"
                     "4.50",
                     8),
         "4,5",
         4.5f},
        {{"14", "4.33"},
         std::string("14\0\0"
                     "4.33",
                     8),
         "4.33",
         4.33f},
        {{"98", ""},
         std::string("98\0\0"
                     "1.00",
                     8),
         "   1",
         1.0f},
        {{" 2", ","},
         std::string(" 2\0\0"
                     "1.00",
                     8),
         "   1",
         1.0f},
        {{"6", "-0"},
         std::string(" 6\0\0"
                     "1.00",
                     8),
         "   1",
         1.0f},
        {{"6", "abc"},
         std::string(" 6\0\0"
                     "1.00",
                     8),
         "   1",
         1.0f},
    };
    for (const Case& c : cases) {
        SubdialogRig rig;
        const std::string ratioField = saveIn(rig, GetParam(), c.entry);
        EXPECT_TRUE(rig.host().messages.empty()) << c.entry.poles << "/" << c.entry.ratio;
        EXPECT_EQ(rig.configBytes(), configWith(c.fields)) << c.entry.poles << "/" << c.entry.ratio;
        EXPECT_EQ(ratioField, c.ratioField);
        EXPECT_EQ(rig.motorData.gearRatio, c.ratio);
    }
}

TEST_P(MotorDataEntryTest, RefusedEntriesLeaveFileAndMemory) {
    struct Case {
        Entry entry;
        const char* text;
    };
    const Case cases[] = {
        {{"7", "1.00"}, "Polzahl: nur gerade Werte möglich!"},
        {{"100", "1.00"}, "Polzahl: max. 2-stellig!"},
        {{"0", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{"abc", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{"", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{",", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{"-0", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{"-4", "1.00"}, "Polzahl: Wert nicht zulässig!"},
        {{"1e30", "1.00"}, "Polzahl: nur gerade Werte möglich!"},
        {{"12345678901234567890", "1.00"}, "Polzahl: nur gerade Werte möglich!"},
        {{"4", "1e30"}, "Getriebe-Untersetzung: Wert nicht zulässig!"},
        {{"4", "12345678901234567890"}, "Getriebe-Untersetzung: Wert nicht zulässig!"},
        {{"4", "-2"}, "Getriebe-Untersetzung: Wert nicht zulässig!"},
        {{"4", "0.001"}, "Getriebe-Untersetzung: Wert nicht zulässig!"},
    };
    for (const Case& c : cases) {
        SubdialogRig rig;
        const std::string before =
            configWith(std::string("12\0\0"
                                   "12.50",
                                   9));
        rig.directory.write(configName, before);
        saveIn(rig, GetParam(), c.entry);
        ASSERT_EQ(rig.host().messages.size(), 1u) << c.entry.poles << "/" << c.entry.ratio;
        EXPECT_EQ(rig.host().lastText(), c.text);
        EXPECT_EQ(rig.host().lastCaption(), "Error!");
        EXPECT_EQ(rig.configBytes(), before) << c.entry.poles << "/" << c.entry.ratio;
        EXPECT_EQ(rig.motorData.poleCount, 12);
        EXPECT_EQ(rig.motorData.gearRatio, 12.5f);
    }
}

TEST_P(MotorDataEntryTest, ShorterRatioOverALongerOneGetsAnEndMark) {
    SubdialogRig rig;
    rig.directory.write(configName, configWith(std::string("12\0\0"
                                                           "12.50",
                                                           9)));
    saveIn(rig, GetParam(), {"2", "3"});
    EXPECT_EQ(rig.configBytes(), configWith(std::string(" 2\0\0"
                                                        "3.00\0",
                                                        9)));
}

TEST_P(MotorDataEntryTest, MissingFileIsReportedAndNotCreated) {
    SubdialogRig rig;
    saveIn(rig, GetParam(), {"4", "2"},
           [&] { std::filesystem::remove(rig.directory.file(configName)); });
    EXPECT_EQ(rig.host().lastText(), "open error 'qvsetup.cfg'");
    EXPECT_EQ(rig.host().lastCaption(), "Error!");
    EXPECT_FALSE(rig.directory.exists(configName));
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, MotorDataEntryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "RevCounter" : "RpmControl";
                         });

}  // namespace
}  // namespace subdialogs_test
