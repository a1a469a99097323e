// "Drehzahlregelung" end to end on the virtual controller.
#include <gtest/gtest.h>

#include <string>

#include "resources/rpm_control_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace rpm_ids;

constexpr int periodHigh = 27;
constexpr int periodLow = 28;
constexpr int pTerm = 36;
constexpr int iTerm = 37;

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
    EXPECT_EQ(r.bytesAt({periodHigh, periodLow, pTerm, iTerm}), "0/155/5/3");
    EXPECT_EQ(speeds(*r.lastDialog), "1003|60180|30090|30090");
    EXPECT_EQ(r.image.rpmPeriod, 1000);
    EXPECT_EQ(r.host().beeps, 2);
}

TEST(RpmControl, UnsetPeriodShowsZeroAndDefaultTerms) {
    SubdialogRig r;
    r.memory()[periodHigh] = 0xFF;
    r.memory()[periodLow] = 0xFF;
    r.image.rpmPeriod = 12345;
    r.open(settings::openRpmControl, steps({{ReadButton}}));
    const ui::Dialog& d = *r.lastDialog;
    EXPECT_EQ(speeds(d), "   0|   0|   0|   0");
    EXPECT_EQ(d.text(PTermField) + d.text(ITermField), " 3 3");
    EXPECT_EQ(r.image.rpmPeriod, 0);
    for (ui::ControlId id : {CalculateButton, WriteButton, RotorSpeedField, PTermField}) {
        EXPECT_TRUE(d.enabled(id)) << id;
    }
    EXPECT_FALSE(d.enabled(FrequencyField));
}

TEST(RpmControl, CalculatorUsesTheStoredMotorDataOnly) {
    SubdialogRig r;
    r.directory.write(configName, motorConfig("10", "4.00"));
    r.open(settings::openRpmControl, steps({{ReadButton},
                                            {PoleCountField, "2"},  // edited but not saved
                                            {GearRatioField, "1"},
                                            {RotorSpeedField, "2000"},
                                            {CalculateButton}}));
    EXPECT_EQ(speeds(*r.lastDialog), " 666|40000|8000|2000");
    EXPECT_EQ(r.lastDialog->text(PoleCountField), "10");
    EXPECT_EQ(r.lastDialog->text(GearRatioField), "4.00");
}

TEST(RpmControl, OldFirmwareWritesOnlyThePeriod) {
    SubdialogRig r;
    r.image.controllerVersion = 0x1010;
    r.memory()[pTerm] = 0x77;
    r.memory()[iTerm] = 0x77;
    r.open(settings::openRpmControl,
           steps({{ReadButton}, {FrequencyField, "1000"}, {WriteButton}}));
    EXPECT_EQ(r.messages(), "");
    EXPECT_FALSE(r.lastDialog->enabled(PTermField));
    EXPECT_FALSE(r.lastDialog->enabled(ITermField));
    EXPECT_EQ(r.bytesAt({periodHigh, periodLow, pTerm, iTerm}), "0/155/119/119");
}

TEST(RpmControl, ReadFailuresLeaveTheFieldsBlank) {
    struct Case {
        std::function<void(SubdialogRig&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {[](SubdialogRig& r) { r.memory()[12] = 0x00; },
         "ERROR!: Erst nach Setup mit Fernsteuerung verfügbar!"},
        {[](SubdialogRig& r) { r.rig.controllerConfig().kind = sim::DeviceKind::OtherKind; },
         "ERROR!: Keine Verbindung!"},
        {[](SubdialogRig& r) { r.rig.serialConfig().loopBack = sim::LoopBack::Missing; },
         "Error: No Adaptor found at COM2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SubdialogRig r;
        c.setUp(r);
        r.open(settings::openRpmControl, steps({{ReadButton}}));
        EXPECT_EQ(r.messages(), c.message);
        EXPECT_EQ(r.lastOwner(), noOwner);
        EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
        EXPECT_EQ(speeds(*r.lastDialog), "  |  |  |  ");
    }
}

TEST(RpmControl, UnconfirmedWriteStopsAfterTheSecondReport) {
    SubdialogRig r;
    r.rig.controllerConfig().setupWritesStick = false;
    r.open(settings::openRpmControl,
           steps({{ReadButton}, {FrequencyField, "1000"}, {WriteButton}}));
    EXPECT_EQ(r.messages(), "Error!: Schreibfehler!\nError!: Schreibfehler!");
}

TEST(RpmControl, OpeningBlanksTheMainMaximumFrequency) {
    SubdialogRig r;
    r.mainDialog.setText(ids::MaxFrequencyField, "1003");
    r.open(settings::openRpmControl, steps({{WriteButton}, {CalculateButton}}));
    EXPECT_FALSE(r.lastDialog->enabled(WriteButton));
    EXPECT_EQ(r.mainDialog.text(ids::MaxFrequencyField), "   ");
    EXPECT_EQ(r.messages(), "");
}

}  // namespace
}  // namespace subdialogs_test
