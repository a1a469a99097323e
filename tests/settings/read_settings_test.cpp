// "Lesen" and the model-memory reads against the virtual controller.
#include <gtest/gtest.h>

#include <functional>

#include "settings_rig.h"

namespace settings::testing {
namespace {

void expectEnabled(const ui::Dialog& d, std::initializer_list<ui::ControlId> ids, bool enabled) {
    for (ui::ControlId id : ids) {
        EXPECT_EQ(d.enabled(id), enabled) << id;
    }
}
void expectChecked(const ui::Dialog& d, std::initializer_list<ui::ControlId> ids, bool checked) {
    for (ui::ControlId id : ids) {
        EXPECT_EQ(d.checked(id), checked) << id;
    }
}
void expectTexts(const ui::Dialog& d,
                 std::initializer_list<std::pair<ui::ControlId, const char*>> texts) {
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(d.text(id), text) << id;
    }
}

class Read : public ::testing::Test {
  protected:
    SettingsRig s;
};

TEST_F(Read, FamilyOneControllerFillsEveryControl) {
    s.recordStatusWords();
    s.readOk();
    const ui::Dialog& d = s.dialog;
    EXPECT_EQ(s.statusWords,
              (std::vector<std::string>{"verbinden....", " ", "lesen.....", " ", "OK"}));
    expectTexts(d, {{VersionField, "V 10.11-1F"},
                    {FullThrottleField, "2.00"},
                    {NeutralField, "1.50"},
                    {StopField, "1.00"},
                    {TimingList, "auto"},
                    {BrakeList, "aus"},
                    {MaxFrequencyField, "    "},
                    {ControlSpeedField, " 10"},
                    {StartPowerField, " 10"},
                    {TransmitterFailureCounter, " 0"},
                    {BlockedMotorCounter, " 0"},
                    {StatusField, "OK"}});
    expectChecked(d,
                  {Frequency156Radio, ActiveFreewheelCheck, BlockedMotorCheck, ReducePowerRadio,
                   CellVoltageCheck, OverTemperatureCheck, ToleranceMediumRadio},
                  true);
    expectChecked(d, {Frequency78Radio, ForwardReverseCheck, RpmLimitCheck, RpmControlCheck},
                  false);
    expectEnabled(d, {MaxFrequencyField, VoltsField, StatusField}, false);
    EXPECT_TRUE(d.enabled(WriteButton));
    EXPECT_EQ(s.host().beeps, 1);
    EXPECT_EQ(s.image.controllerVersion, 0x1011);
    EXPECT_EQ(s.image.clockMHz, 16);
    EXPECT_EQ(s.image.rpmPeriod, 305);
    EXPECT_EQ(s.image.thresholdCode, 255);
}

TEST_F(Read, MissingCapabilitiesDisableTheirControls) {
    s.memory()[31] = 0x00;
    s.memory()[33] = 0x01;  // level byte 1: no per-cell threshold either
    s.memory()[21] = 77;
    s.readOk();
    expectEnabled(s.dialog,
                  {Frequency156Radio, BlockedMotorCheck, BlockedMotorCounter, RpmControlCheck,
                   ForwardReverseCheck, ActiveFreewheelCheck, CellVoltageCheck, VoltsField},
                  false);
    EXPECT_EQ(s.dialog.text(VoltsField), "8.4");
    EXPECT_EQ(s.dialog.text(VersionField), "V 10.01-00");
}

TEST_F(Read, FamilyThreeRulesOutlastAFamilyOneRead) {
    s.memory()[32] = 0x31;
    s.memory()[33] = 0x05;
    s.memory()[24] = 7;
    s.readOk();
    const std::initializer_list<ui::ControlId> family3Off = {OverTemperatureCheck, ReducePowerRadio,
                                                             SwitchOffRadio, BrakeList};
    expectEnabled(s.dialog, family3Off, false);
    expectEnabled(s.dialog, {OverTemperatureCounter, UnderVoltageCounter}, false);
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), "");
    EXPECT_EQ(s.dialog.text(BlockedMotorCounter), "");
    for (ui::ControlId id : {OpenUpdateFileItem, ReadMemory1Item, WriteMemory2Item,
                             LockFunctionsItem, HelpFileItem, ServicePageItem}) {
        EXPECT_FALSE(s.dialog.menuItem(id).enabled) << id;
    }
    EXPECT_TRUE(s.dialog.menuItem(AboutItem).enabled);

    s.memory()[32] = 0x10;
    s.readOk();
    expectEnabled(s.dialog, family3Off, false);
    EXPECT_TRUE(s.dialog.enabled(OverTemperatureCounter));
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), " 7");
    EXPECT_FALSE(s.dialog.menuItem(ReadMemory1Item).enabled);
}

TEST_F(Read, RpmControlShowsTheLimitOnlyWithTheMarker) {
    s.memory()[10] |= 0x20;
    s.readOk();
    EXPECT_TRUE(s.dialog.checked(RpmControlCheck));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // 326947 / (305 + 22)

    s.setRpmPeriod500();
    s.readOk();
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // kept from before
    EXPECT_EQ(s.image.rpmPeriod, 500);
}

TEST_F(Read, UnexpectedBytesSelectNothing) {
    s.memory()[30] = 8;
    s.memory()[16] = 10;  // not a code an 8 MHz controller uses
    s.memory()[10] |= 0x41;
    s.memory()[17] = 4;
    s.memory()[18] = 0;
    s.memory()[26] = 0;
    s.readOk();
    expectChecked(s.dialog,
                  {Frequency78Radio, Frequency156Radio, ToleranceSmallRadio, ToleranceMediumRadio,
                   ToleranceHighRadio},
                  false);
    EXPECT_EQ(s.dialog.selection(BrakeList), -1);
    EXPECT_EQ(s.dialog.text(TimingList), " 7,5°");
}

TEST_F(Read, IgnoredUnderVoltageKeepsTheThresholdForTheNextWrite) {
    s.memory()[22] = 1;
    s.memory()[21] = 77;
    s.readOk();
    EXPECT_TRUE(s.dialog.checked(IgnoreRadio));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    expectEnabled(s.dialog, {VoltsField, CellVoltageCheck}, false);
    EXPECT_EQ(s.image.thresholdCode, 77);
    s.writeOk();
    EXPECT_EQ(s.memory()[21], 77);
}

TEST_F(Read, SecondMemoryFillsTheMirroredSettingsOnly) {
    s.readOk();
    s.readOk(SettingsArea::Memory2);
    const ui::Dialog& d = s.dialog;
    expectTexts(d, {{TimingList, "15,0°"},
                    {BrakeList, "hart"},
                    {VoltsField, "6.0"},
                    {StartPowerField, " 20"},
                    {FullThrottleField, ""},
                    {NeutralField, ""},
                    {StopField, ""},
                    {ControlSpeedField, ""},
                    {TransmitterFailureCounter, ""},
                    {BlockedMotorCounter, ""},
                    {StatusField, "OK"}});
    expectChecked(d, {Frequency78Radio, SwitchOffRadio}, true);
    expectChecked(d, {OverTemperatureCheck, CellVoltageCheck, ToleranceMediumRadio}, false);
    expectEnabled(
        d,
        {WriteButton, ToleranceMediumRadio, RpmControlCheck, ForwardReverseCheck, ControlSpeedField,
         MaxFrequencyField, TransmitterFailureCounter, BlockedMotorCounter},
        false);
    EXPECT_EQ(s.host().beeps, 2);

    // A read of the current settings brings the current-only controls back.
    s.readOk();
    expectEnabled(d,
                  {WriteButton, ToleranceMediumRadio, ControlSpeedField, TransmitterFailureCounter,
                   BlockedMotorCounter},
                  true);
    EXPECT_EQ(d.text(FullThrottleField), "2.00");
}

struct ReadRefusal {
    const char* name;
    SettingsArea area;
    bool readFirst;
    std::function<void(SettingsRig&)> change;
    const char* text;
    const char* caption;
    int owner;
    const char* status;
    std::int32_t versionAfter;
    bool statusLeftEnabled = false;  // the link's own probe does not disable it
};

class ReadRefusals : public ::testing::TestWithParam<ReadRefusal> {};

TEST_P(ReadRefusals, ShowTheirMessageAndLeaveWriteDisabled) {
    SettingsRig s;
    const ReadRefusal& r = GetParam();
    if (r.readFirst) {
        s.readOk();
    }
    r.change(s);
    s.read(r.area);
    s.expectOnlyMessage(r.text, r.caption, r.owner);
    EXPECT_EQ(s.dialog.text(StatusField), r.status);
    EXPECT_EQ(s.dialog.enabled(StatusField), r.statusLeftEnabled);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.image.controllerVersion, r.versionAfter);
    EXPECT_EQ(s.host().beeps, r.readFirst ? 1 : 0);
}

void setByte(SettingsRig& s, std::size_t address, std::uint8_t value) {
    s.memory()[address] = value;
}
void setVersionBytes(SettingsRig& s, std::uint8_t value) {
    s.memory()[32] = value;
    s.memory()[33] = value;
}

constexpr auto current = SettingsArea::Current;
constexpr auto memory1 = SettingsArea::Memory1;
constexpr auto memory2 = SettingsArea::Memory2;
const char* const notSetUp = "Erst nach Setup mit Fernsteuerung verfügbar!";

INSTANTIATE_TEST_SUITE_P(
    All, ReadRefusals,
    ::testing::Values(
        ReadRefusal{"NotSetUp", current, false, [](auto& s) { setByte(s, 12, 0x65); }, notSetUp,
                    "Error", ownerMain, " ", versionAtStart},
        ReadRefusal{"Erased", current, false, [](auto& s) { setVersionBytes(s, 0xFF); }, notSetUp,
                    "Error", ownerMain, " ", versionInvalid},
        ReadRefusal{"WrongFamily", current, false, [](auto& s) { setVersionBytes(s, 0x20); },
                    "Bitte kompatibles Setup-Programm downloaden!", "Error", ownerMain, " ",
                    versionInvalid},
        ReadRefusal{"NewerProgram", current, false, [](auto& s) { setByte(s, 35, 0x21); },
                    "Bitte aktuelles Setup-Programm downloaden!", "Error", ownerMain, " ",
                    versionInvalid},
        ReadRefusal{"ParallelPort", current, false, [](auto& s) { s.rig.selectParallel(); },
                    "  PORT ?", "ERROR!", noOwner, "", versionAtStart},
        ReadRefusal{"MissingAdapter", current, false,
                    [](auto& s) { s.rig.serialConfig().loopBack = sim::LoopBack::Missing; },
                    "No Adaptor found at COM2\n", "Error", ownerMain, " ", versionAtStart},
        ReadRefusal{"OtherDevice", current, false,
                    [](auto& s) { s.rig.controllerConfig().kind = sim::DeviceKind::OtherKind; },
                    "falsches Gerät!", "ERROR!", noOwner, " ", versionAtStart, true},
        // The port vanishes during the identity bytes, and while the settings are decoded.
        ReadRefusal{"VanishedDuringIdentity", current, false,
                    [](auto& s) { s.rig.serialConfig().vanishAfterOps = 5000; },
                    "Keine Verbindung!", "Error", ownerMain, " ", versionInvalid},
        ReadRefusal{"VanishedDuringDecode", current, false,
                    [](auto& s) { s.rig.serialConfig().vanishAfterOps = 20000; },
                    "Keine Verbindung!", "Error", ownerMain, " ", versionInvalid},
        ReadRefusal{"MemoryBeforeAnyRead", memory1, false, [](auto&) {}, "Zuerst Werte einlesen!",
                    "Error!", noOwner, " ", versionAtStart},
        ReadRefusal{"MemoryBelowLevelThree", memory1, true, [](auto& s) { setByte(s, 33, 0x02); },
                    "Funktion bei dieser Controllerversion nicht verfügbar!", "Error", ownerMain,
                    " ", 0x1002},
        ReadRefusal{"EmptyMemory1", memory1, true, [](auto& s) { setByte(s, 41, 255); },
                    "Modellspeicher1 leer", "Error", ownerMain, " ", 0x1011},
        ReadRefusal{"EmptyMemory2", memory2, true, [](auto& s) { setByte(s, 51, 255); },
                    "Modellspeicher2 leer", "Error", ownerMain, " ", 0x1011}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRefusal, BelowLevelThreeShowsTheVersionFirst) {
    SettingsRig s;
    s.readOk();
    s.memory()[33] = 0x02;
    s.read(SettingsArea::Memory1);
    EXPECT_EQ(s.dialog.text(VersionField), "V 10.02-1F");
}

}  // namespace
}  // namespace settings::testing
