// "Drehzahlregelung" end to end on the virtual controller.
#include <gtest/gtest.h>

#include <string>

#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace rpm_ids;

std::string speeds(const ui::Dialog& d) {
    return d.text(FrequencyField) + "|" + d.text(RatePerMinuteField) + "|" +
           d.text(MotorSpeedField) + "|" + d.text(RotorSpeedField);
}

TEST(RpmControl, CalculatedThousandHzIsWrittenAsPeriod155) {
    SubdialogRig r;
    r.directory.write(configName, motorConfig(" 4", "1.00"));
    r.image.rpmPeriod = 305;  // as the main dialog's read leaves it
    std::string calculated;
    r.open(settings::openRpmControl, [&](ui::Dialog& dialog, const Command& command) {
        steps({{ReadButton}, {RotorSpeedField, "30000"}, {CalculateButton}})(dialog, command);
        calculated = dialog.text(FrequencyField);
        command(WriteButton);
    });
    EXPECT_EQ(r.messages(), "");
    EXPECT_EQ(calculated, "1000");
    EXPECT_EQ(r.bytesAt({27, 28, 36, 37}), "0/155/5/3");
    EXPECT_EQ(speeds(*r.lastDialog), "1003|60180|30090|30090");
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
    r.directory.write(configName, motorConfig("10", "4.00"));
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
    });
    EXPECT_EQ(speeds(*r.lastDialog), " 666|40000|8000|2000");
    EXPECT_EQ(painted, "10x|10 666|");
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
