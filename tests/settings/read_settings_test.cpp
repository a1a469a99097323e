// "Lesen" and the model-memory reads against the virtual controller, and clicks on the main
// dialog's settings controls.
#include <gtest/gtest.h>

#include "settings_rig.h"

namespace settings::testing {
namespace {

TEST(Read, FamilyOneControllerFillsEveryControl) {
    SettingsRig s;
    s.recordStatusWords();
    s.readOk();
    EXPECT_EQ(s.statusWords, (Strings{"verbinden....", " ", "lesen.....", " ", "OK"}));
    EXPECT_EQ(s.texts({VersionField, FullThrottleField, NeutralField, StopField, TimingList,
                       BrakeList, MaxFrequencyField, ControlSpeedField, StartPowerField,
                       TransmitterFailureCounter, BlockedMotorCounter}),
              (Strings{"V 10.11-1F", "2.00", "1.50", "1.00", "auto", "aus", "    ", " 10", " 10",
                       " 0", " 0"}));
    s.expectChecked({Frequency156Radio, ActiveFreewheelCheck, BlockedMotorCheck, ReducePowerRadio,
                     CellVoltageCheck, OverTemperatureCheck, ToleranceMediumRadio},
                    true);
    s.expectChecked({Frequency78Radio, ForwardReverseCheck, RpmLimitCheck, RpmControlCheck}, false);
    s.expectEnabled({MaxFrequencyField, VoltsField, StatusField}, false);
    EXPECT_TRUE(s.dialog.enabled(WriteButton));

    // Level 1 has no per-cell threshold; capabilities missing disable their controls.
    readWith({{31, 0x00}, {33, 0x01}, {21, 77}})(s);
    s.expectEnabled({Frequency156Radio, BlockedMotorCheck, BlockedMotorCounter, RpmControlCheck,
                     ForwardReverseCheck, ActiveFreewheelCheck, CellVoltageCheck, VoltsField},
                    false);
    EXPECT_EQ(s.texts({VoltsField, VersionField}), (Strings{"8.4", "V 10.01-00"}));
}

TEST(Read, FamilyThreeRulesOutlastAFamilyOneRead) {
    SettingsRig s;
    readWith({{32, 0x31}, {33, 0x05}, {24, 7}})(s);
    const auto family3Off = {OverTemperatureCheck, ReducePowerRadio, SwitchOffRadio, BrakeList};
    s.expectEnabled(family3Off, false);
    s.expectEnabled({OverTemperatureCounter, UnderVoltageCounter}, false);
    EXPECT_EQ(s.texts({OverTemperatureCounter, BlockedMotorCounter}), (Strings{"", ""}));
    EXPECT_FALSE(s.dialog.menuItem(LockFunctionsItem).enabled);

    readWith({{32, 0x10}})(s);
    s.expectEnabled(family3Off, false);
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), " 7");
    EXPECT_FALSE(s.dialog.menuItem(ReadMemory1Item).enabled);
}

TEST(Read, UnusualBytesShowAsTheyAre) {
    SettingsRig s;
    // Frequency code 10 is not one an 8 MHz controller uses.
    readWith({{30, 8}, {16, 10}, {10, 0x90 | 0x41}, {17, 4}, {18, 0}, {26, 0}})(s);
    s.expectChecked({Frequency78Radio, Frequency156Radio, ToleranceMediumRadio}, false);
    EXPECT_EQ(s.dialog.selection(BrakeList), -1);
    EXPECT_EQ(s.dialog.text(TimingList), " 7,5°");
    // An ignored under-voltage hides the threshold but keeps it.
    readWith({{22, 1}, {21, 77}})(s);
    EXPECT_TRUE(s.dialog.checked(IgnoreRadio));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    s.expectEnabled({VoltsField, CellVoltageCheck}, false);
    EXPECT_EQ(s.image.thresholdCode, 77);
}

TEST(Read, SecondMemoryFillsTheMirroredSettingsOnly) {
    SettingsRig s;
    s.readOk();
    s.readOk(SettingsArea::Memory2);
    EXPECT_EQ(s.texts({TimingList, BrakeList, VoltsField, StartPowerField, FullThrottleField,
                       ControlSpeedField, BlockedMotorCounter, StatusField}),
              (Strings{"15,0°", "hart", "6.0", " 20", "", "", "", "OK"}));
    s.expectChecked({Frequency78Radio, SwitchOffRadio}, true);
    s.expectChecked({OverTemperatureCheck, CellVoltageCheck, ToleranceMediumRadio}, false);
    s.expectEnabled({WriteButton, ToleranceMediumRadio, RpmControlCheck, ControlSpeedField,
                     BlockedMotorCounter},
                    false);
    // A read of the current settings brings the current-only controls back.
    s.readOk();
    s.expectEnabled({WriteButton, ToleranceMediumRadio, ControlSpeedField, BlockedMotorCounter},
                    true);
}

struct ReadRefusal {
    SettingsArea area;
    Change change;
    const char* text;
    std::int32_t versionAfter;
    const char* caption = "Error";
    int owner = ownerMain;
    const char* status = " ";
};

TEST(ReadRefusals, ShowTheirMessageAndLeaveWriteDisabled) {
    constexpr auto current = SettingsArea::Current;
    constexpr auto memory1 = SettingsArea::Memory1;
    const char* const notSetUp = "Erst nach Setup mit Fernsteuerung verfügbar!";
    const ReadRefusal cases[] = {
        {current, poke({{12, 0x65}}), notSetUp, versionAtStart},
        {current, poke({{32, 0xFF}, {33, 0xFF}}), notSetUp, versionInvalid},
        {current, poke({{32, 0x20}, {33, 0x20}}), "Bitte kompatibles Setup-Programm downloaden!",
         versionInvalid},
        {current, poke({{35, 0x21}}), "Bitte aktuelles Setup-Programm downloaden!", versionInvalid},
        {current, [](auto& s) { s.rig.selectParallel(); }, "  PORT ?", versionAtStart, "ERROR!",
         noOwner, ""},
        {current, [](auto& s) { s.rig.serialConfig().vanishAfterOps = 20000; }, "Keine Verbindung!",
         versionInvalid},
        {memory1, [](auto&) {}, "Zuerst Werte einlesen!", versionAtStart, "Error!", noOwner},
        {memory1, [](auto& s) { s.readOk(), s.memory()[33] = 0x02; },
         "Funktion bei dieser Controllerversion nicht verfügbar!", 0x1002},
        {SettingsArea::Memory2, readWith({{51, 255}}), "Modellspeicher2 leer", 0x1011},
    };
    for (const ReadRefusal& r : cases) {
        SCOPED_TRACE(r.text);
        SettingsRig s;
        r.change(s);
        const int beeps = s.host().beeps;
        s.read(r.area);
        s.expectOnlyMessage(r.text, r.caption, r.owner);
        EXPECT_EQ(s.dialog.text(StatusField), r.status);
        EXPECT_FALSE(s.dialog.enabled(StatusField));
        EXPECT_FALSE(s.dialog.enabled(WriteButton));
        EXPECT_EQ(s.image.controllerVersion, r.versionAfter);
        EXPECT_EQ(s.host().beeps, beeps);
        if (r.versionAfter == 0x1002) {  // the level check comes after the version shows
            EXPECT_EQ(s.dialog.text(VersionField), "V 10.02-1F");
        }
    }
}

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
    EXPECT_EQ(s.bytesAt({23, 34}), "0/0");
    // Without the blocked-motor capability its counter is left alone.
    readWith({{31, 0x1D}})(s);
    s.type(BlockedMotorCounter, "3");
    s.click(ResetCountersButton);
    EXPECT_EQ(s.texts({BlockedMotorCounter, TransmitterFailureCounter}), (Strings{"3", " 0"}));
}

}  // namespace
}  // namespace settings::testing
