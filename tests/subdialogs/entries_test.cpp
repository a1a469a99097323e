// Typed entries in every edit field of the motor-speed dialogs, and qvsetup.cfg byte for
// byte after each accepted and refused motor-data entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using Typing = std::function<std::string(SubdialogRig&, const char*)>;

// Saves poles and ratio in either dialog; returns the ratio field, the record in the file
// (NULs as dots) and the motor data in memory.
std::string saveIn(SubdialogRig& rig, bool revCounter, const char* poles, const char* ratio) {
    const ui::ControlId ratioId = revCounter ? rev_ids::GearRatioField : rpm_ids::GearRatioField;
    std::string ratioField;
    rig.open(revCounter ? settings::openRevCounter : settings::openRpmControl,
             [&](ui::Dialog& dialog, const Command& command) {
                 steps({{revCounter ? rev_ids::PoleCountField : rpm_ids::PoleCountField, poles},
                        {ratioId, ratio},
                        {revCounter ? rev_ids::SaveMotorDataButton
                                    : rpm_ids::SaveMotorDataButton}})(dialog, command);
                 ratioField = dialog.text(ratioId);
             });
    std::string record = rig.configBytes().erase(0, 256);
    std::replace(record.begin(), record.end(), '\0', '.');
    char memory[32];
    std::snprintf(memory, sizeof memory, "%d %.2f", rig.motorData.poleCount,
                  rig.motorData.gearRatio);
    return ratioField + "|" + record + "|" + memory;
}

Typing regulator(int field) {
    return [field](SubdialogRig& rig, const char* text) {
        rig.open(settings::openRpmControl,
                 steps({{rpm_ids::ReadButton},
                        {rpm_ids::FrequencyField, field == 0 ? text : "1000"},
                        {rpm_ids::PTermField, field == 1 ? text : " 5"},
                        {rpm_ids::ITermField, field == 2 ? text : " 3"},
                        {rpm_ids::WriteButton}}));
        return std::to_string(rig.memory()[36]) + "/" + std::to_string(rig.memory()[37]);
    };
}

Typing motorField(bool revCounter, bool poles) {
    return [=](SubdialogRig& rig, const char* text) {
        return saveIn(rig, revCounter, poles ? text : "4", poles ? "1.00" : text);
    };
}

std::string rotorSpeed(SubdialogRig& rig, const char* text) {
    rig.open(settings::openRpmControl, steps({{rpm_ids::ReadButton},
                                              {rpm_ids::RotorSpeedField, text},
                                              {rpm_ids::CalculateButton}}));
    return rig.lastDialog->text(rpm_ids::MotorSpeedField);
}

// The outcome is the message shown, or else what the text was read as. A message leaves
// controller, file and motor data as they were.
void expectOutcome(const Typing& run, const char* text, const std::string& outcome) {
    SubdialogRig rig;
    rig.directory.write(configName, motorConfig("12", "1.00"));
    const sim::SetupBytes memoryBefore = rig.memory();
    const std::string seen = run(rig, text);
    if (rig.host().messages.empty()) {
        EXPECT_EQ(seen, outcome);
        return;
    }
    EXPECT_EQ(rig.messages(), "Error!: " + outcome);
    EXPECT_EQ(rig.configBytes(), motorConfig("12", "1.00"));
    EXPECT_EQ(rig.memory(), memoryBefore);
    EXPECT_EQ(rig.motorData.poleCount, 12);
}

const char* const minHz = "min. 3 Hz";
const char* const pRange = "P: 1 - 10 !";
const char* const iRange = "I: 1 - 5 !";
const char* const badPoles = "Polzahl: Wert nicht zulässig!";
const char* const oddPoles = "Polzahl: nur gerade Werte möglich!";
const char* const badRatio = "Getriebe-Untersetzung: Wert nicht zulässig!";
const char* const ratioOne = "   1| 4..1.00|4 1.00";

TEST(Entries, TextThatIsNoPlainNumberInEveryField) {
    const char* const texts[] = {"", "abc", ",", "12345678901234567890", "-0", "1e30"};
    struct Field {
        const char* name;
        Typing run;
        const char* outcome[6];
    };
    const Field fields[] = {
        {"frequency", regulator(0), {minHz, minHz, minHz, "max. 2500 Hz", minHz, minHz}},
        {"P", regulator(1), {pRange, pRange, pRange, pRange, pRange, "1/3"}},
        {"I", regulator(2), {iRange, iRange, iRange, iRange, iRange, "5/5"}},
        {"rotor speed", rotorSpeed, {"   0", "   0", "   0", "12345678", "   0", "   1"}},
        {"rpm poles",
         motorField(false, true),
         {badPoles, badPoles, badPoles, oddPoles, badPoles, oddPoles}},
        {"rpm ratio",
         motorField(false, false),
         {ratioOne, ratioOne, ratioOne, badRatio, ratioOne, badRatio}},
        {"rev poles",
         motorField(true, true),
         {badPoles, badPoles, badPoles, oddPoles, badPoles, oddPoles}},
        {"rev ratio",
         motorField(true, false),
         {ratioOne, ratioOne, ratioOne, badRatio, ratioOne, badRatio}},
    };
    for (const Field& field : fields) {
        for (int t = 0; t < 6; ++t) {
            SCOPED_TRACE(std::string(field.name) + " '" + texts[t] + "'");
            expectOutcome(field.run, texts[t], field.outcome[t]);
        }
    }
}

TEST(Entries, MotorDataInBothDialogs) {
    struct Case {
        bool poles;
        const char *text, *outcome;
    };
    const Case cases[] = {
        {false, "4,5", "4,5| 4..4.50|4 4.50"},
        {false, "4.33", "4.33| 4..4.33|4 4.33"},
        {false, "12.5", "12.5| 4..12.50|4 12.50"},
        {false, "-2", badRatio},
        {false, "0.001", badRatio},
        {true, "98", "1.00|98..1.00|98 1.00"},
        {true, "7", oddPoles},
        {true, "100", "Polzahl: max. 2-stellig!"},
        {true, "0", badPoles},
        {true, "-4", badPoles},
    };
    for (bool revCounter : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(revCounter ? "rev " : "rpm ") + c.text);
            expectOutcome(motorField(revCounter, c.poles), c.text, c.outcome);
        }
        // Into a fresh file the record goes as it is; over a longer ratio with an end mark.
        SubdialogRig fresh;
        EXPECT_EQ(saveIn(fresh, revCounter, " 2", "3"), "3| 2..3.00|2 3.00");
        SubdialogRig longer;
        longer.directory.write(configName, motorConfig("12", "12.50"));
        EXPECT_EQ(saveIn(longer, revCounter, " 2", "3"), "3| 2..3.00.|2 3.00");
        // A file gone since the opening is reported, not created.
        SubdialogRig gone;
        gone.open(
            revCounter ? settings::openRevCounter : settings::openRpmControl,
            [&](ui::Dialog&, const Command& command) {
                std::filesystem::remove(gone.directory.file(configName));
                command(revCounter ? rev_ids::SaveMotorDataButton : rpm_ids::SaveMotorDataButton);
            });
        EXPECT_EQ(gone.messages(), "Error!: open error 'qvsetup.cfg'");
        EXPECT_FALSE(gone.directory.exists(configName));
    }
}

}  // namespace
}  // namespace subdialogs_test
