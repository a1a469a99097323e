// Clicks on the main dialog's settings controls.
#include <gtest/gtest.h>

#include "settings_rig.h"

namespace settings::testing {
namespace {

TEST(BeforeARead, FrequencyAndResetAreRefused) {
    for (ui::ControlId id : {Frequency78Radio, Frequency156Radio, ResetCountersButton}) {
        SCOPED_TRACE(id);
        SettingsRig s;
        s.type(TransmitterFailureCounter, "5");
        s.click(id);
        s.expectOnlyMessage("Zuerst Werte einlesen!", "Error!", noOwner);
        s.expectChecked({Frequency78Radio, Frequency156Radio}, false);
        EXPECT_EQ(s.dialog.text(TransmitterFailureCounter), id == ResetCountersButton ? "" : "5");
    }
}

class AfterARead : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }
    SettingsRig s;
};

TEST_F(AfterARead, FrequencyRadiosSwitchEachOther) {
    s.click(Frequency78Radio);
    EXPECT_TRUE(s.dialog.checked(Frequency78Radio));
    EXPECT_FALSE(s.dialog.checked(Frequency156Radio));
    s.writeOk();
    EXPECT_EQ(s.memory()[16], 10);  // 7,8 kHz at 16 MHz
}

TEST_F(AfterARead, IgnoreThenReduceWithEmptyVoltsFallsBackToPerCell) {
    edit({CellVoltageCheck, IgnoreRadio})(s);  // per cell off: volts field enabled and blank
    s.expectEnabled({CellVoltageCheck, VoltsField}, false);
    EXPECT_EQ(s.image.thresholdCode, 255);
    s.click(ReducePowerRadio);
    s.expectChecked({ReducePowerRadio, CellVoltageCheck}, true);
    EXPECT_FALSE(s.dialog.checked(IgnoreRadio));
    EXPECT_TRUE(s.dialog.enabled(CellVoltageCheck));
    EXPECT_FALSE(s.dialog.enabled(VoltsField));
}

TEST_F(AfterARead, VoltsOutOfRangeLeaveTheCodeSilently) {
    edit({CellVoltageCheck}, {{VoltsField, "6,0"}})(s);
    s.click(SwitchOffRadio);
    EXPECT_EQ(s.image.thresholdCode, 55);
    EXPECT_FALSE(s.dialog.checked(CellVoltageCheck));
    s.type(VoltsField, "12");
    s.click(ReducePowerRadio);
    EXPECT_EQ(s.image.thresholdCode, 55);
    EXPECT_EQ(s.messageCount(), 0u);
    s.write();
    EXPECT_EQ(s.host().lastText(), "Wert 'Schwelle' 5.3V - 10.5V!");
}

TEST_F(AfterARead, PerCellCheckBlanksAndRestoresTheVoltsField) {
    s.click(CellVoltageCheck);
    EXPECT_TRUE(s.dialog.enabled(VoltsField));
    EXPECT_EQ(s.image.thresholdCode, 255);
    s.type(VoltsField, "7.5");
    s.click(CellVoltageCheck);
    EXPECT_FALSE(s.dialog.enabled(VoltsField));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    EXPECT_EQ(s.image.thresholdCode, 255);
}

TEST_F(AfterARead, LevelByteOneKeepsPerCellDisabled) {
    readWith({{33, 0x01}})(s);
    s.click(SwitchOffRadio);
    s.expectEnabled({CellVoltageCheck, VoltsField}, false);
}

TEST_F(AfterARead, UncheckingRpmControlBlanksTheMaximumFrequency) {
    readWith({{10, 0x90 | 0x20}})(s);
    ASSERT_EQ(s.dialog.text(MaxFrequencyField), " 999");
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
}

TEST_F(AfterARead, ResetWithoutBlockedMotorCapabilityLeavesItsCounter) {
    readWith({{31, 0x1D}})(s);
    s.type(BlockedMotorCounter, "3");
    s.click(ResetCountersButton);
    EXPECT_EQ(s.texts({BlockedMotorCounter, TransmitterFailureCounter}), (Strings{"3", " 0"}));
}

TEST_F(AfterARead, ReleaseStartsTheControllerWithTheMotorReleased) {
    s.click(ReleaseButton);
    EXPECT_EQ(s.rig.controller().mode(), sim::ControllerMode::MotorReleased);
}

TEST(MainDialogLists, HoldTheEntriesInOrderOnce) {
    SettingsRig s;
    fillMainDialogLists(s.dialog);  // a second fill adds nothing
    EXPECT_EQ(s.dialog.items(TimingList),
              (Strings{" 0°", " 7,5°", "15,0°", "22,5°", "30,0°", "auto"}));
    EXPECT_EQ(s.dialog.items(BrakeList), (Strings{"aus", "hart", "mittel", "weich"}));
    EXPECT_EQ(s.dialog.selection(TimingList), -1);
    EXPECT_EQ(s.dialog.selection(BrakeList), -1);
}

}  // namespace
}  // namespace settings::testing
