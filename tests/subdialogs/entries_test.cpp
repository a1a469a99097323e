// Typed entries in every edit field of the motor-speed dialogs, and qvsetup.cfg byte for
// byte after each accepted and refused motor-data entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

enum Field { Hz, Hz16MHz, P, I, RotorSpeed, Poles, Ratio };

// Saves poles and ratio in either dialog; returns the ratio field, the record in the file
// (NULs as dots) and the motor data in memory.
std::string saveIn(SubdialogRig& rig, bool revCounter, const char* poles, const char* ratio) {
    const ui::ControlId ratioId = revCounter ? rev_ids::GearRatioField : rpm_ids::GearRatioField;
    std::string ratioField;
    rig.open(revCounter ? settings::openRevCounter : settings::openRpmControl,
             [&](ui::Dialog& dialog, const Command& command) {
                 dialog.setText(revCounter ? rev_ids::PoleCountField : rpm_ids::PoleCountField,
                                poles);
                 dialog.setText(ratioId, ratio);
                 command(revCounter ? rev_ids::SaveMotorDataButton : rpm_ids::SaveMotorDataButton);
                 ratioField = dialog.text(ratioId);
             });
    EXPECT_EQ(rig.configBytes().substr(0, 256), motorConfig());  // the port name kept
    std::string record = rig.configBytes().erase(0, 256);
    std::replace(record.begin(), record.end(), '\0', '.');
    char memory[32];
    std::snprintf(memory, sizeof memory, "%d %.2f", rig.motorData.poleCount,
                  rig.motorData.gearRatio);
    return ratioField + "|" + record + "|" + memory;
}

// Types text into the field, the others valid, and presses the button that reads it.
// Returns what the text was read as: period bytes and P/I bytes written, the motor speed
// calculated, or what saveIn returns.
std::string type(SubdialogRig& rig, Field field, bool revCounter, const char* text) {
    using namespace rpm_ids;
    auto pick = [&](Field f, const char* other) { return field == f ? text : other; };
    if (field == Poles || field == Ratio) {
        return saveIn(rig, revCounter, pick(Poles, "4"), pick(Ratio, "1.00"));
    }
    if (field == RotorSpeed) {
        rig.open(settings::openRpmControl,
                 steps({{ReadButton}, {RotorSpeedField, text}, {CalculateButton}}));
        return rig.lastDialog->text(MotorSpeedField);
    }
    rig.image.clockMHz = field == Hz16MHz ? 16 : 8;
    const char* hz = field == Hz16MHz ? text : pick(Hz, "1000");
    rig.open(settings::openRpmControl, steps({{ReadButton},
                                              {FrequencyField, hz},
                                              {PTermField, pick(P, " 5")},
                                              {ITermField, pick(I, " 3")},
                                              {WriteButton}}));
    return rig.bytesAt({27, 28, 36, 37});
}

// The outcome is the message shown, or else what the text was read as; a message leaves
// controller, file and motor data as they were. Motor data goes through both dialogs.
void expectOutcome(Field field, const char* text, const std::string& outcome) {
    for (bool revCounter : {false, true}) {
        SCOPED_TRACE(std::to_string(field) + (revCounter ? " rev '" : " '") + text + "'");
        SubdialogRig rig;
        rig.directory.write(configName, motorConfig("12", "1.00"));
        const sim::SetupBytes memoryBefore = rig.memory();
        const std::string seen = type(rig, field, revCounter, text);
        if (rig.host().messages.empty()) {
            EXPECT_EQ(seen, outcome);
        } else {
            EXPECT_EQ(rig.messages(), "Error!: " + outcome);
            EXPECT_EQ(rig.configBytes(), motorConfig("12", "1.00"));
            EXPECT_EQ(rig.memory(), memoryBefore);
            EXPECT_EQ(rig.motorData.poleCount, 12);
        }
        if (field != Poles && field != Ratio) {
            break;
        }
    }
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
    const std::pair<Field, std::array<const char*, 6>> fields[] = {
        {Hz, {minHz, minHz, minHz, "max. 2500 Hz", minHz, minHz}},
        {P, {pRange, pRange, pRange, pRange, pRange, "0/155/1/3"}},
        {I, {iRange, iRange, iRange, iRange, iRange, "0/155/5/5"}},
        {RotorSpeed, {"   0", "   0", "   0", "12345678", "   0", "   1"}},
        {Poles, {badPoles, badPoles, badPoles, oddPoles, badPoles, oddPoles}},
        {Ratio, {ratioOne, ratioOne, ratioOne, badRatio, ratioOne, badRatio}},
    };
    for (const auto& [field, outcomes] : fields) {
        for (int t = 0; t < 6; ++t) {
            expectOutcome(field, texts[t], outcomes[t]);
        }
    }
}

// A frequency is never written ahead of a term that is then refused.
TEST(Entries, RangesAndNormalForms) {
    const struct {
        Field field;
        const char *text, *outcome;
    } cases[] = {
        {Hz, "2667", "max. 2500 Hz"},
        {Hz, "2", minHz},
        {Hz, "3", "227/91/5/3"},  // periods up to 16 bits
        {Hz16MHz, "5", "255/87/5/3"},
        {Hz16MHz, "4", "min. 5 Hz"},
        {Hz16MHz, "2666", "0/100/5/3"},
        {P, "0", pRange},
        {P, "11", pRange},
        {I, "6", iRange},
        {Ratio, "4,5", "4,5| 4..4.50|4 4.50"},
        {Ratio, "4.33", "4.33| 4..4.33|4 4.33"},
        {Ratio, "12.5", "12.5| 4..12.50|4 12.50"},
        {Ratio, "-2", badRatio},
        {Ratio, "0.001", badRatio},
        {Poles, "98", "1.00|98..1.00|98 1.00"},
        {Poles, "7", oddPoles},
        {Poles, "100", "Polzahl: max. 2-stellig!"},
        {Poles, "0", badPoles},
        {Poles, "-4", badPoles},
    };
    for (const auto& c : cases) {
        expectOutcome(c.field, c.text, c.outcome);
    }
}

TEST(Entries, MotorDataFileWrittenOrReported) {
    for (bool revCounter : {false, true}) {
        SCOPED_TRACE(revCounter ? "rev counter" : "rpm control");
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
