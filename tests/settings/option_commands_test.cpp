// Clicks on the main dialog's settings controls.
#include <gtest/gtest.h>

#include "settings_rig.h"

namespace settings::testing {
namespace {

TEST(BeforeARead, FrequencyAndResetAreRefused) {
    for (ui::ControlId id : {Frequency78Radio, ResetCountersButton}) {
        SettingsRig s;
        s.type(TransmitterFailureCounter, "5");
        s.click(id);
        s.expectOnlyMessage("Zuerst Werte einlesen!", "Error!", noOwner);
        EXPECT_FALSE(s.dialog.checked(Frequency78Radio));
        EXPECT_EQ(s.dialog.text(TransmitterFailureCounter), id == ResetCountersButton ? "" : "5");
    }
}

class AfterARead : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }
    SettingsRig s;
};

TEST_F(AfterARead, FrequencyRadiosAndRelease) {
    s.click(Frequency78Radio);
    EXPECT_FALSE(s.dialog.checked(Frequency156Radio));
    s.writeOk();
    EXPECT_EQ(s.memory()[16], 10);  // 7,8 kHz at 16 MHz
    s.click(ReleaseButton);
    EXPECT_EQ(s.rig.controller().mode(), sim::ControllerMode::MotorReleased);
}

TEST_F(AfterARead, UnderVoltageChoicesAndThePerCellCheck) {
    s.click(CellVoltageCheck);  // off: the field is enabled, the code still automatic
    EXPECT_TRUE(s.dialog.enabled(VoltsField));
    s.type(VoltsField, "7.5");
    s.click(CellVoltageCheck);
    EXPECT_FALSE(s.dialog.enabled(VoltsField));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    // A choice takes volts in range, leaves the code silently otherwise; the write refuses.
    s.click(CellVoltageCheck);
    s.type(VoltsField, "6,0");
    s.click(SwitchOffRadio);
    EXPECT_EQ(s.image.thresholdCode, 55);
    EXPECT_FALSE(s.dialog.checked(CellVoltageCheck));
    s.type(VoltsField, "12");
    s.click(ReducePowerRadio);
    EXPECT_EQ(s.image.thresholdCode, 55);
    EXPECT_EQ(s.messageCount(), 0u);
    s.write();
    EXPECT_EQ(s.host().lastText(), "Wert 'Schwelle' 5.3V - 10.5V!");
    // Ignoring blanks the field; a choice then falls back to per cell.
    s.click(IgnoreRadio);
    s.expectEnabled({CellVoltageCheck, VoltsField}, false);
    s.click(ReducePowerRadio);
    s.expectChecked({ReducePowerRadio, CellVoltageCheck}, true);
    EXPECT_TRUE(s.dialog.enabled(CellVoltageCheck));
    EXPECT_FALSE(s.dialog.enabled(VoltsField));
    readWith({{33, 0x01}})(s);  // level 1 keeps per cell disabled
    s.click(SwitchOffRadio);
    s.expectEnabled({CellVoltageCheck, VoltsField}, false);
}

// The limit shows only with the RPM control marker, stays from an earlier read, and goes
// when the box is clicked.
TEST_F(AfterARead, RpmControlLimit) {
    readWith({{10, 0x90 | 0x20}})(s);
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // 326947 / (305 + 22)
    readWith({{27, 0x01}, {28, 0xF4}, {11, 0}})(s);
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");
    EXPECT_EQ(s.image.rpmPeriod, 500);
    for (int click = 0; click < 2; ++click) {  // checking again leaves it blank
        s.click(RpmControlCheck);
        EXPECT_EQ(s.dialog.text(MaxFrequencyField), "         ");
        EXPECT_FALSE(s.dialog.enabled(MaxFrequencyField));
    }
}

TEST_F(AfterARead, ResetZeroesTheCountersForTheNextWrite) {
    readWith({{23, 4}, {34, 6}})(s);
    s.click(ResetCountersButton);
    EXPECT_EQ(s.texts({TransmitterFailureCounter, OverTemperatureCounter, UnderVoltageCounter,
                       BlockedMotorCounter}),
              (Strings{" 0", " 0", " 0", " 0"}));
    EXPECT_EQ(s.memory()[23], 4);
    s.writeOk();
    EXPECT_EQ(s.memory()[23], 0);
    EXPECT_EQ(s.memory()[34], 0);
    // Without the blocked-motor capability its counter is left alone.
    readWith({{31, 0x1D}})(s);
    s.type(BlockedMotorCounter, "3");
    s.click(ResetCountersButton);
    EXPECT_EQ(s.texts({BlockedMotorCounter, TransmitterFailureCounter}), (Strings{"3", " 0"}));
}

}  // namespace
}  // namespace settings::testing
