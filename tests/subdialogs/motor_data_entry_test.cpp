// Typed entries: qvsetup.cfg byte for byte after every accepted and refused motor-data entry
// in both dialogs that offer it, and every edit field given text that is no plain number.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

// Saves one entry in either dialog; returns the ratio field as the save left it.
std::string saveIn(
    SubdialogRig& rig, bool revCounter, const char* poles, const char* ratio,
    const std::function<void()>& beforeSave = [] {}) {
    const ui::ControlId ratioId = revCounter ? rev_ids::GearRatioField : rpm_ids::GearRatioField;
    std::string ratioField;
    rig.open(revCounter ? settings::openRevCounter : settings::openRpmControl,
             [&](ui::Dialog& dialog, const Command& command) {
                 beforeSave();
                 steps({{revCounter ? rev_ids::PoleCountField : rpm_ids::PoleCountField, poles},
                        {ratioId, ratio},
                        {revCounter ? rev_ids::SaveMotorDataButton
                                    : rpm_ids::SaveMotorDataButton}})(dialog, command);
                 ratioField = dialog.text(ratioId);
             });
    return ratioField;
}

class MotorDataEntryTest : public ::testing::TestWithParam<bool> {};

TEST_P(MotorDataEntryTest, AcceptedEntriesAreStoredInNormalForm) {
    struct Case {
        const char *poles, *ratio;
        std::string fileBefore, fileAfter;
        const char* ratioField;
        float ratioValue;
    };
    const Case cases[] = {
        {"4", "4,5", motorConfig(), motorConfig(" 4", "4.50"), "4,5", 4.5f},
        {"14", "4.33", motorConfig(), motorConfig("14", "4.33"), "4.33", 4.33f},
        {"98", "", motorConfig(), motorConfig("98", "1.00"), "   1", 1.0f},
        // A shorter ratio over a longer one gets an end mark.
        {"2", "3", motorConfig("12", "12.50"), motorConfig(" 2", "3.00") + '\0', "3", 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.poles) + "/" + c.ratio);
        SubdialogRig rig;
        rig.directory.write(configName, c.fileBefore);
        EXPECT_EQ(saveIn(rig, GetParam(), c.poles, c.ratio), c.ratioField);
        EXPECT_EQ(rig.messages(), "");
        EXPECT_EQ(rig.configBytes(), c.fileAfter);
        EXPECT_EQ(rig.motorData.gearRatio, c.ratioValue);
    }
}

TEST_P(MotorDataEntryTest, RefusedEntriesLeaveFileAndMemory) {
    struct Case {
        const char *poles, *ratio, *text;
    };
    const Case cases[] = {
        {"7", "1.00", "Polzahl: nur gerade Werte möglich!"},
        {"100", "1.00", "Polzahl: max. 2-stellig!"},
        {"0", "1.00", "Polzahl: Wert nicht zulässig!"},
        {"abc", "1.00", "Polzahl: Wert nicht zulässig!"},
        {"-4", "1.00", "Polzahl: Wert nicht zulässig!"},
        {"4", "-2", "Getriebe-Untersetzung: Wert nicht zulässig!"},
        {"4", "0.001", "Getriebe-Untersetzung: Wert nicht zulässig!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.poles) + "/" + c.ratio);
        SubdialogRig rig;
        rig.directory.write(configName, motorConfig("12", "12.50"));
        saveIn(rig, GetParam(), c.poles, c.ratio);
        EXPECT_EQ(rig.messages(), std::string("Error!: ") + c.text);
        EXPECT_EQ(rig.configBytes(), motorConfig("12", "12.50"));
        EXPECT_EQ(rig.motorData.poleCount, 12);
        EXPECT_EQ(rig.motorData.gearRatio, 12.5f);
    }
}

TEST_P(MotorDataEntryTest, MissingFileIsReportedAndNotCreated) {
    SubdialogRig rig;
    saveIn(rig, GetParam(), "4", "2",
           [&] { std::filesystem::remove(rig.directory.file(configName)); });
    EXPECT_EQ(rig.messages(), "Error!: open error 'qvsetup.cfg'");
    EXPECT_FALSE(rig.directory.exists(configName));
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, MotorDataEntryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "RevCounter" : "RpmControl";
                         });

// Each field gets each text, the other fields valid. The outcome is the message shown, or
// else what the text was read as; a message leaves controller and file untouched.
TEST(BadText, EveryEditField) {
    const char* const texts[] = {"", "abc", ",", "12345678901234567890", "-0", "1e30"};
    using Run = std::function<std::string(SubdialogRig&, const char*)>;
    auto regulator = [](int field) -> Run {
        return [field](SubdialogRig& rig, const char* text) {
            rig.open(settings::openRpmControl,
                     steps({{rpm_ids::ReadButton},
                            {rpm_ids::FrequencyField, field == 0 ? text : "1000"},
                            {rpm_ids::PTermField, field == 1 ? text : " 5"},
                            {rpm_ids::ITermField, field == 2 ? text : " 3"},
                            {rpm_ids::WriteButton}}));
            return std::to_string(rig.memory()[36]) + "/" + std::to_string(rig.memory()[37]);
        };
    };
    auto motorData = [](bool revCounter, bool poles) -> Run {
        return [=](SubdialogRig& rig, const char* text) {
            const std::string ratioField =
                saveIn(rig, revCounter, poles ? text : "4", poles ? "1.00" : text);
            std::string record = rig.configBytes().substr(256);
            std::replace(record.begin(), record.end(), '\0', '.');
            return ratioField + "|" + record;
        };
    };
    const Run rotorSpeed = [](SubdialogRig& rig, const char* text) {
        rig.open(settings::openRpmControl, steps({{rpm_ids::ReadButton},
                                                  {rpm_ids::RotorSpeedField, text},
                                                  {rpm_ids::CalculateButton}}));
        return rig.lastDialog->text(rpm_ids::MotorSpeedField);
    };
    const char* minHz = "min. 3 Hz";
    const char* p = "P: 1 - 10 !";
    const char* i = "I: 1 - 5 !";
    const char* poles = "Polzahl: Wert nicht zulässig!";
    const char* odd = "Polzahl: nur gerade Werte möglich!";
    const char* ratio = "Getriebe-Untersetzung: Wert nicht zulässig!";
    const char* one = "   1| 4..1.00";
    struct Field {
        const char* name;
        Run run;
        const char* outcome[6];
    };
    const Field fields[] = {
        {"frequency", regulator(0), {minHz, minHz, minHz, "max. 2500 Hz", minHz, minHz}},
        {"P", regulator(1), {p, p, p, p, p, "1/3"}},
        {"I", regulator(2), {i, i, i, i, i, "5/5"}},
        {"rotor speed", rotorSpeed, {"   0", "   0", "   0", "12345678", "   0", "   1"}},
        {"rpm poles", motorData(false, true), {poles, poles, poles, odd, poles, odd}},
        {"rpm ratio", motorData(false, false), {one, one, one, ratio, one, ratio}},
        {"rev poles", motorData(true, true), {poles, poles, poles, odd, poles, odd}},
        {"rev ratio", motorData(true, false), {one, one, one, ratio, one, ratio}},
    };
    for (const Field& field : fields) {
        for (int t = 0; t < 6; ++t) {
            SCOPED_TRACE(std::string(field.name) + " '" + texts[t] + "'");
            SubdialogRig rig;
            rig.directory.write(configName, motorConfig("12", "1.00"));
            const sim::SetupBytes memoryBefore = rig.memory();
            const std::string seen = field.run(rig, texts[t]);
            if (rig.host().messages.empty()) {
                EXPECT_EQ(seen, field.outcome[t]);
                continue;
            }
            EXPECT_EQ(rig.messages(), std::string("Error!: ") + field.outcome[t]);
            EXPECT_EQ(rig.configBytes(), motorConfig("12", "1.00"));
            EXPECT_EQ(rig.memory(), memoryBefore);
        }
    }
}

}  // namespace
}  // namespace subdialogs_test
