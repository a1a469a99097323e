// "Lesen" and the model-memory reads against the virtual controller.
#include <gtest/gtest.h>

#include "settings_rig.h"

namespace settings::testing {
namespace {

class Read : public ::testing::Test {
  protected:
    SettingsRig s;
};

TEST_F(Read, FamilyOneControllerFillsEveryControl) {
    s.recordStatusWords();
    s.readOk();
    EXPECT_EQ(s.statusWords, (Strings{"verbinden....", " ", "lesen.....", " ", "OK"}));
    EXPECT_EQ(s.texts({VersionField, FullThrottleField, NeutralField, StopField, TimingList,
                       BrakeList, MaxFrequencyField, ControlSpeedField, StartPowerField,
                       TransmitterFailureCounter, BlockedMotorCounter, StatusField}),
              (Strings{"V 10.11-1F", "2.00", "1.50", "1.00", "auto", "aus", "    ", " 10", " 10",
                       " 0", " 0", "OK"}));
    s.expectChecked({Frequency156Radio, ActiveFreewheelCheck, BlockedMotorCheck, ReducePowerRadio,
                     CellVoltageCheck, OverTemperatureCheck, ToleranceMediumRadio},
                    true);
    s.expectChecked({Frequency78Radio, ForwardReverseCheck, RpmLimitCheck, RpmControlCheck}, false);
    s.expectEnabled({MaxFrequencyField, VoltsField, StatusField}, false);
    EXPECT_TRUE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.host().beeps, 1);
}

TEST_F(Read, MissingCapabilitiesDisableTheirControls) {
    readWith({{31, 0x00}, {33, 0x01}, {21, 77}})(s);  // level 1: no per-cell threshold either
    s.expectEnabled({Frequency156Radio, BlockedMotorCheck, BlockedMotorCounter, RpmControlCheck,
                     ForwardReverseCheck, ActiveFreewheelCheck, CellVoltageCheck, VoltsField},
                    false);
    EXPECT_EQ(s.texts({VoltsField, VersionField}), (Strings{"8.4", "V 10.01-00"}));
}

TEST_F(Read, FamilyThreeRulesOutlastAFamilyOneRead) {
    readWith({{32, 0x31}, {33, 0x05}, {24, 7}})(s);
    const auto family3Off = {OverTemperatureCheck, ReducePowerRadio, SwitchOffRadio, BrakeList};
    s.expectEnabled(family3Off, false);
    s.expectEnabled({OverTemperatureCounter, UnderVoltageCounter}, false);
    EXPECT_EQ(s.texts({OverTemperatureCounter, BlockedMotorCounter}), (Strings{"", ""}));
    for (ui::ControlId id : {OpenUpdateFileItem, ReadMemory1Item, WriteMemory2Item,
                             LockFunctionsItem, HelpFileItem, ServicePageItem}) {
        EXPECT_FALSE(s.dialog.menuItem(id).enabled) << id;
    }
    EXPECT_TRUE(s.dialog.menuItem(AboutItem).enabled);

    readWith({{32, 0x10}})(s);
    s.expectEnabled(family3Off, false);
    EXPECT_TRUE(s.dialog.enabled(OverTemperatureCounter));
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), " 7");
    EXPECT_FALSE(s.dialog.menuItem(ReadMemory1Item).enabled);
}

TEST_F(Read, RpmControlShowsTheLimitOnlyWithTheMarker) {
    s.memory()[10] |= 0x20;
    s.readOk();
    EXPECT_TRUE(s.dialog.checked(RpmControlCheck));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // 326947 / (305 + 22)
    readWith({{27, 0x01}, {28, 0xF4}, {11, 0}})(s);
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // kept from before
    EXPECT_EQ(s.image.rpmPeriod, 500);
}

TEST_F(Read, UnexpectedBytesSelectNothing) {
    // Frequency code 10 is not one an 8 MHz controller uses.
    readWith({{30, 8}, {16, 10}, {10, 0x90 | 0x41}, {17, 4}, {18, 0}, {26, 0}})(s);
    s.expectChecked({Frequency78Radio, Frequency156Radio, ToleranceSmallRadio, ToleranceMediumRadio,
                     ToleranceHighRadio},
                    false);
    EXPECT_EQ(s.dialog.selection(BrakeList), -1);
    EXPECT_EQ(s.dialog.text(TimingList), " 7,5°");
}

TEST_F(Read, IgnoredUnderVoltageHidesTheThreshold) {
    readWith({{22, 1}, {21, 77}})(s);
    EXPECT_TRUE(s.dialog.checked(IgnoreRadio));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    s.expectEnabled({VoltsField, CellVoltageCheck}, false);
    EXPECT_EQ(s.image.thresholdCode, 77);
}

TEST_F(Read, SecondMemoryFillsTheMirroredSettingsOnly) {
    s.readOk();
    s.readOk(SettingsArea::Memory2);
    EXPECT_EQ(s.texts({TimingList, BrakeList, VoltsField, StartPowerField, FullThrottleField,
                       NeutralField, StopField, ControlSpeedField, TransmitterFailureCounter,
                       BlockedMotorCounter, StatusField}),
              (Strings{"15,0°", "hart", "6.0", " 20", "", "", "", "", "", "", "OK"}));
    s.expectChecked({Frequency78Radio, SwitchOffRadio}, true);
    s.expectChecked({OverTemperatureCheck, CellVoltageCheck, ToleranceMediumRadio}, false);
    s.expectEnabled(
        {WriteButton, ToleranceMediumRadio, RpmControlCheck, ForwardReverseCheck, ControlSpeedField,
         MaxFrequencyField, TransmitterFailureCounter, BlockedMotorCounter},
        false);
    EXPECT_EQ(s.host().beeps, 2);

    // A read of the current settings brings the current-only controls back.
    s.readOk();
    s.expectEnabled({WriteButton, ToleranceMediumRadio, ControlSpeedField,
                     TransmitterFailureCounter, BlockedMotorCounter},
                    true);
    EXPECT_EQ(s.dialog.text(FullThrottleField), "2.00");
}

struct ReadRefusal {
    const char* name;
    SettingsArea area;
    Change change;
    const char* text;
    std::int32_t versionAfter;
    const char* caption = "Error";
    int owner = ownerMain;
    const char* status = " ";
    bool statusLeftEnabled = false;  // the link's own probe does not disable it
};

class ReadRefusals : public ::testing::TestWithParam<ReadRefusal> {};

TEST_P(ReadRefusals, ShowTheirMessageAndLeaveWriteDisabled) {
    SettingsRig s;
    const ReadRefusal& r = GetParam();
    r.change(s);
    const int beeps = s.host().beeps;
    s.read(r.area);
    s.expectOnlyMessage(r.text, r.caption, r.owner);
    EXPECT_EQ(s.dialog.text(StatusField), r.status);
    EXPECT_EQ(s.dialog.enabled(StatusField), r.statusLeftEnabled);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.image.controllerVersion, r.versionAfter);
    EXPECT_EQ(s.host().beeps, beeps);
}

Change vanishAfter(std::uint64_t ops) {
    return [=](SettingsRig& s) { s.rig.serialConfig().vanishAfterOps = ops; };
}
void otherDevice(SettingsRig& s) {
    s.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
}

constexpr auto current = SettingsArea::Current;
constexpr auto memory1 = SettingsArea::Memory1;
const char* const notSetUp = "Erst nach Setup mit Fernsteuerung verfügbar!";

INSTANTIATE_TEST_SUITE_P(
    All, ReadRefusals,
    ::testing::Values(
        ReadRefusal{"NotSetUp", current, poke({{12, 0x65}}), notSetUp, versionAtStart},
        ReadRefusal{"Erased", current, poke({{32, 0xFF}, {33, 0xFF}}), notSetUp, versionInvalid},
        ReadRefusal{"WrongFamily", current, poke({{32, 0x20}, {33, 0x20}}),
                    "Bitte kompatibles Setup-Programm downloaden!", versionInvalid},
        ReadRefusal{"NewerProgram", current, poke({{35, 0x21}}),
                    "Bitte aktuelles Setup-Programm downloaden!", versionInvalid},
        ReadRefusal{"ParallelPort", current, [](auto& s) { s.rig.selectParallel(); }, "  PORT ?",
                    versionAtStart, "ERROR!", noOwner, ""},
        ReadRefusal{"MissingAdapter", current, adapterMissing, "No Adaptor found at COM2\n",
                    versionAtStart},
        ReadRefusal{"OtherDevice", current, otherDevice, "falsches Gerät!", versionAtStart,
                    "ERROR!", noOwner, " ", true},
        // The port vanishes during the identity bytes, and while the settings are decoded.
        ReadRefusal{"VanishedDuringIdentity", current, vanishAfter(5000), "Keine Verbindung!",
                    versionInvalid},
        ReadRefusal{"VanishedDuringDecode", current, vanishAfter(20000), "Keine Verbindung!",
                    versionInvalid},
        ReadRefusal{"MemoryBeforeAnyRead", memory1, [](auto&) {}, "Zuerst Werte einlesen!",
                    versionAtStart, "Error!", noOwner},
        ReadRefusal{"MemoryBelowLevelThree", memory1, afterRead(poke({{33, 0x02}})),
                    "Funktion bei dieser Controllerversion nicht verfügbar!", 0x1002},
        ReadRefusal{"EmptyMemory1", memory1, afterRead(poke({{41, 255}})), "Modellspeicher1 leer",
                    0x1011},
        ReadRefusal{"EmptyMemory2", SettingsArea::Memory2, afterRead(poke({{51, 255}})),
                    "Modellspeicher2 leer", 0x1011}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRefusal, BelowLevelThreeShowsTheVersionFirst) {
    SettingsRig s;
    afterRead(poke({{33, 0x02}}))(s);
    s.read(SettingsArea::Memory1);
    EXPECT_EQ(s.dialog.text(VersionField), "V 10.02-1F");
}

}  // namespace
}  // namespace settings::testing
