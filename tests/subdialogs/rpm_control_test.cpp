// "Drehzahlregelung" end to end on the virtual controller; typed entries in every edit field
// of the motor-speed dialogs, qvsetup.cfg byte for byte after each accepted and refused
// motor-data entry, and the figures from damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>

#include "resources/rev_counter_dialog.h"
#include "resources/rpm_control_dialog.h"
#include "settings/conversions.h"
#include "settings/rpm_figures.h"
#include "settings/subdialog_numbers.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

enum Field { Hz, Hz16MHz, P, I, RotorSpeed, Poles, Ratio };

// Saves poles and ratio in either dialog; returns the ratio field, the record in the file
// (NULs as dots) and the pole count in memory.
std::string saveIn(SubdialogRig& rig, bool revCounter, const char* poles, const char* ratio) {
    using namespace settings;
    const auto [poleId, ratioId, saveId] =
        revCounter ? std::tuple{rev_ids::PoleCountField, rev_ids::GearRatioField,
                                rev_ids::SaveMotorDataButton}
                   : std::tuple{rpm_ids::PoleCountField, rpm_ids::GearRatioField,
                                rpm_ids::SaveMotorDataButton};
    rig.open(revCounter ? openRevCounter : openRpmControl,
             steps({{poleId, poles}, {ratioId, ratio}, {saveId}}));
    EXPECT_EQ(rig.configBytes().substr(0, 256), motorConfig());  // the port name kept
    std::string record = rig.configBytes().erase(0, 256);
    std::replace(record.begin(), record.end(), '\0', '.');
    return rig.lastDialog->text(ratioId) + "|" + record + "|" +
           std::to_string(rig.motorData.poleCount);
}

// Types text into the field, the others valid, presses the button that reads it, and
// returns the period and P/I bytes written, the motor speed calculated, or saveIn's answer.
std::string type(SubdialogRig& rig, Field field, const char* text) {
    using namespace rpm_ids;
    auto pick = [&](Field f, const char* other) { return field == f ? text : other; };
    if (field == Poles || field == Ratio) {
        return saveIn(rig, false, pick(Poles, "4"), pick(Ratio, "1.00"));
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

// One row per reading: a boundary, a text without a number, a number cut short. Periods
// go up to 16 bits; a frequency is never written ahead of a term that is then refused.
TEST(Entries, ReadAsNumbersAndChecked) {
    const char* const badPoles = "Polzahl: Wert nicht zulässig!";
    const struct {
        Field field;
        const char *text, *outcome;
    } cases[] = {{Hz, "2", "min. 3 Hz"},
                 {Hz, "3", "227/91/5/3"},
                 {Hz, "2667", "max. 2500 Hz"},
                 {Hz16MHz, "4", "min. 5 Hz"},
                 {P, "0", "P: 1 - 10 !"},
                 {P, "1e30", "0/155/1/3"},
                 {P, " 10", "0/155/10/3"},  // typed beside the blank that " 3" left
                 {I, "6", "I: 1 - 5 !"},
                 {RotorSpeed, "abc", "   0"},
                 {RotorSpeed, "12345678901234567890", "12345678"},
                 {Poles, "7", "Polzahl: nur gerade Werte möglich!"},
                 {Poles, "100", "Polzahl: max. 2-stellig!"},
                 {Poles, "0", badPoles},
                 {Poles, "abc", badPoles},
                 {Poles, "98", "1.00|98..1.00|98"},
                 {Ratio, "4,5", "4,5| 4..4.50|4"},
                 {Ratio, "", "   1| 4..1.00|4"},
                 {Ratio, "0.001", "Getriebe-Untersetzung: Wert nicht zulässig!"}};
    // The outcome is the message shown, or else what the text was read as; a message leaves
    // controller, file and motor data as they were. Both dialogs save motor data through
    // one entry (MotorDataFileWrittenOrReported saves in each).
    for (const auto& [field, text, outcome] : cases) {
        SCOPED_TRACE(std::to_string(field) + " '" + text + "'");
        SubdialogRig rig;
        rig.dir.write(configName, motorConfig("12", "1.00"));
        const sim::SetupBytes memoryBefore = rig.memory();
        const std::string seen = type(rig, field, text);
        if (rig.host().messages.empty()) {
            EXPECT_EQ(seen, outcome);
        } else {
            EXPECT_EQ(rig.messages(), std::string("Error!: ") + outcome);
            EXPECT_EQ(rig.configBytes(), motorConfig("12", "1.00"));
            EXPECT_EQ(rig.memory(), memoryBefore);
            EXPECT_EQ(rig.motorData.poleCount, 12);
        }
    }
}

// Into a fresh file the record goes as it is; over a longer ratio with an end mark; a
// file gone since the opening is reported, not created.
TEST(Entries, MotorDataFileWrittenOrReported) {
    SubdialogRig fresh, longer, gone;
    EXPECT_EQ(saveIn(fresh, true, " 2", "3"), "3| 2..3.00|2");
    longer.dir.write(configName, motorConfig("12", "12.50"));
    EXPECT_EQ(saveIn(longer, false, " 2", "3"), "3| 2..3.00.|2");
    gone.open(settings::openRpmControl, [&](ui::Dialog&, const Command& command) {
        std::filesystem::remove(gone.dir.file(configName));
        command(rpm_ids::SaveMotorDataButton);
    });
    EXPECT_EQ(gone.messages(), "Error!: open error 'qvsetup.cfg'");
    EXPECT_FALSE(gone.dir.exists(configName));
}

TEST(Figures, SinglePrecisionAndDamagedInput) {
    using namespace settings::subdialogs;
    constexpr int intMax = std::numeric_limits<int>::max();
    // 4.33 is 4.3299999… in single precision: 1000 × it truncates to 4329.
    EXPECT_EQ(figuresFromRotorSpeed(1000, {2, 4.33f}).motorSpeed, 4329);
    // A tiny ratio or a pole count of 0 from a hand-edited file: clamped or 0, never UB.
    EXPECT_EQ(speedsFromRate(551520, {2, 1e-6f}).rotorSpeed, intMax);
    EXPECT_EQ(speedsFromRate(60000, {0, 1.0f}).motorSpeed, 0);
    EXPECT_EQ(revFiguresFromPulses(intMax, {2, 1.0f}).perMinute, intMax);
    EXPECT_FALSE(periodForFrequency(-5, 8));
    EXPECT_EQ(settings::parseInteger("12345678901234567890", 40, settings::wholeText), intMax);
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

using namespace rpm_ids;

std::string speeds(const ui::Dialog& d) {
    return d.text(FrequencyField) + "|" + d.text(RatePerMinuteField) + "|" +
           d.text(MotorSpeedField) + "|" + d.text(RotorSpeedField);
}

TEST(RpmControl, UnsetPeriodShowsZeroAndDefaultTerms) {
    SubdialogRig r;
    r.memory()[27] = r.memory()[28] = 0xFF;
    r.image.rpmPeriod = 12345;
    r.open(settings::openRpmControl, steps({{ReadButton}}));
    EXPECT_EQ(speeds(*r.lastDialog), "   0|   0|   0|   0");
    EXPECT_EQ(r.lastDialog->text(PTermField) + r.lastDialog->text(ITermField), " 3 3");
    EXPECT_EQ(r.image.rpmPeriod, 0);
    EXPECT_TRUE(r.lastDialog->enabled(WriteButton));
}

TEST(RpmControl, CalculatorUsesTheStoredMotorDataOnly) {
    SubdialogRig r;
    r.dir.write(configName, motorConfig("10", "4.00"));
    std::string painted;  // poles and Hz at each repaint of "Berechnen": the reload first
    r.open(settings::openRpmControl, [&](ui::Dialog& dialog, const Command& command) {
        steps({{ReadButton},
               {PoleCountField, "2"},  // edited but not saved
               {GearRatioField, "1"},
               {RotorSpeedField, "2000"},
               {FrequencyField, "x"}})(dialog, command);
        r.host().onRepaint = [&](ui::Dialog& d) {
            painted += d.text(PoleCountField) + d.text(FrequencyField) + "|";
        };
        command(CalculateButton);
        r.host().onRepaint = nullptr;
        painted += speeds(dialog);
        command(WriteButton);  // the calculated frequency, written as its period
    });
    EXPECT_EQ(painted, "10x|10 666| 666|40000|8000|2000");
    EXPECT_EQ(r.bytesAt({27, 28, 36, 37}), "0/243/3/3");
    EXPECT_EQ(speeds(*r.lastDialog), " 666|39960|7992|1998");  // from the period
    // "Lesen" shows the stored motor data again too.
    r.open(settings::openRpmControl, steps({{PoleCountField, "2"}, {ReadButton}}));
    EXPECT_EQ(r.lastDialog->text(PoleCountField), "10");
}

TEST(RpmControl, OldFirmwareWritesOnlyThePeriod) {
    SubdialogRig r;
    r.image.controllerVersion = 0x1010;
    r.memory()[36] = r.memory()[37] = 0x77;
    r.open(settings::openRpmControl,
           steps({{ReadButton}, {FrequencyField, "1000"}, {WriteButton}}));
    EXPECT_EQ(r.messages(), "");
    EXPECT_FALSE(r.lastDialog->enabled(PTermField));
    EXPECT_EQ(r.bytesAt({27, 28, 36, 37}), "0/155/119/119");
}

// Opening blanks the main dialog's limit; nothing works before a read, and a refused read
// leaves the fields blank.
TEST(RpmControl, OpeningAndARefusedRead) {
    SubdialogRig r;
    r.mainDialog.setText(ids::MaxFrequencyField, "1003");
    r.memory()[12] = 0x00;
    r.open(settings::openRpmControl, steps({{WriteButton}, {CalculateButton}, {ReadButton}}));
    EXPECT_EQ(r.mainDialog.text(ids::MaxFrequencyField), "   ");
    EXPECT_EQ(r.messages(), "ERROR!: Erst nach Setup mit Fernsteuerung verfügbar!");
    EXPECT_EQ(r.lastOwner(), noOwner);
    EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
    EXPECT_EQ(speeds(*r.lastDialog), "  |  |  |  ");
}

}  // namespace
}  // namespace subdialogs_test
