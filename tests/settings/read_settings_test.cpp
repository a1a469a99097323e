// "Lesen" and the model-memory reads against the virtual controller.
#include <gtest/gtest.h>

#include "settings/setup_map.h"
#include "settings_rig.h"

namespace settings::testing {
namespace {

class ReadCurrent : public ::testing::Test {
  protected:
    SettingsRig s;
};

TEST_F(ReadCurrent, FamilyOneControllerFillsEveryControl) {
    s.readOk();
    const ui::Dialog& d = s.dialog;
    EXPECT_EQ(d.text(VersionField), "V 10.11-1F");
    EXPECT_EQ(d.text(FullThrottleField), "2.00");
    EXPECT_EQ(d.text(NeutralField), "1.50");
    EXPECT_EQ(d.text(StopField), "1.00");
    EXPECT_EQ(d.text(TimingList), "auto");
    EXPECT_TRUE(d.checked(Frequency156Radio));
    EXPECT_FALSE(d.checked(Frequency78Radio));
    EXPECT_TRUE(d.checked(ActiveFreewheelCheck));
    EXPECT_FALSE(d.checked(ForwardReverseCheck));
    EXPECT_FALSE(d.checked(RpmLimitCheck));
    EXPECT_EQ(d.text(BrakeList), "aus");
    EXPECT_TRUE(d.checked(BlockedMotorCheck));
    EXPECT_FALSE(d.checked(RpmControlCheck));
    EXPECT_EQ(d.text(MaxFrequencyField), "    ");
    EXPECT_FALSE(d.enabled(MaxFrequencyField));
    EXPECT_TRUE(d.checked(ReducePowerRadio));
    EXPECT_TRUE(d.checked(CellVoltageCheck));
    EXPECT_FALSE(d.enabled(VoltsField));
    EXPECT_TRUE(d.checked(OverTemperatureCheck));
    EXPECT_EQ(d.text(ControlSpeedField), " 10");
    EXPECT_EQ(d.text(StartPowerField), " 10");
    EXPECT_TRUE(d.checked(ToleranceMediumRadio));
    EXPECT_EQ(d.text(TransmitterFailureCounter), " 0");
    EXPECT_EQ(d.text(BlockedMotorCounter), " 0");
    EXPECT_EQ(d.text(StatusField), "OK");
    EXPECT_FALSE(d.enabled(StatusField));
    EXPECT_TRUE(d.enabled(WriteButton));
    EXPECT_EQ(s.host().beeps, 1);
    EXPECT_EQ(s.image.controllerVersion, 0x1011);
    EXPECT_EQ(s.image.clockMHz, 16);
    EXPECT_EQ(s.image.rpmPeriod, 305);
    EXPECT_EQ(s.image.thresholdCode, 255);
}

TEST_F(ReadCurrent, ProgressWordsAppearInOrder) {
    std::vector<std::string> shown;
    s.host().onRepaint = [&](ui::Dialog& d) {
        if (shown.empty() || shown.back() != d.text(StatusField)) {
            shown.push_back(d.text(StatusField));
        }
    };
    s.readOk();
    EXPECT_EQ(shown, (std::vector<std::string>{"verbinden....", " ", "lesen.....", " ", "OK"}));
}

TEST_F(ReadCurrent, MissingCapabilitiesDisableTheirControls) {
    s.memory()[31] = 0x00;
    s.memory()[33] = 0x01;  // level byte 1: no per-cell threshold either
    s.memory()[21] = 77;
    s.readOk();
    for (ui::ControlId id :
         {Frequency156Radio, BlockedMotorCheck, BlockedMotorCounter, RpmControlCheck,
          ForwardReverseCheck, ActiveFreewheelCheck, CellVoltageCheck, VoltsField}) {
        EXPECT_FALSE(s.dialog.enabled(id)) << id;
    }
    EXPECT_EQ(s.dialog.text(VoltsField), "8.4");
    EXPECT_EQ(s.dialog.text(VersionField), "V 10.01-00");
}

TEST_F(ReadCurrent, FamilyThreeRulesOutlastAFamilyOneRead) {
    s.memory()[32] = 0x31;
    s.memory()[33] = 0x05;
    s.memory()[24] = 7;
    s.readOk();
    for (ui::ControlId id : {OverTemperatureCheck, ReducePowerRadio, SwitchOffRadio, BrakeList,
                             OverTemperatureCounter, UnderVoltageCounter}) {
        EXPECT_FALSE(s.dialog.enabled(id)) << id;
    }
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), "");
    EXPECT_EQ(s.dialog.text(BlockedMotorCounter), "");
    for (ui::ControlId id : {OpenUpdateFileItem, ReadMemory1Item, WriteMemory2Item,
                             LockFunctionsItem, HelpFileItem, ServicePageItem}) {
        EXPECT_FALSE(s.dialog.menuItem(id).enabled) << id;
    }
    EXPECT_TRUE(s.dialog.menuItem(AboutItem).enabled);

    s.memory()[32] = 0x10;
    s.readOk();
    for (ui::ControlId id : {OverTemperatureCheck, ReducePowerRadio, SwitchOffRadio, BrakeList}) {
        EXPECT_FALSE(s.dialog.enabled(id)) << id;
    }
    EXPECT_TRUE(s.dialog.enabled(OverTemperatureCounter));
    EXPECT_EQ(s.dialog.text(OverTemperatureCounter), " 7");
    EXPECT_FALSE(s.dialog.menuItem(ReadMemory1Item).enabled);
}

TEST_F(ReadCurrent, RpmControlShowsTheLimitOnlyWithTheMarker) {
    s.memory()[10] |= 0x20;
    s.readOk();
    EXPECT_TRUE(s.dialog.checked(RpmControlCheck));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // 326947 / (305 + 22)

    s.memory()[11] = 0;
    s.memory()[27] = 0x01;
    s.memory()[28] = 0xF4;
    s.readOk();
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), " 999");  // kept from before
    EXPECT_EQ(s.image.rpmPeriod, 500);
}

TEST_F(ReadCurrent, UnexpectedBytesSelectNothing) {
    s.memory()[30] = 8;
    s.memory()[16] = 10;  // not a code an 8 MHz controller uses
    s.memory()[10] |= 0x41;
    s.memory()[17] = 4;
    s.memory()[18] = 0;
    s.memory()[26] = 0;
    s.readOk();
    EXPECT_FALSE(s.dialog.checked(Frequency78Radio));
    EXPECT_FALSE(s.dialog.checked(Frequency156Radio));
    EXPECT_EQ(s.dialog.selection(BrakeList), -1);
    EXPECT_EQ(s.dialog.text(TimingList), " 7,5°");
    EXPECT_FALSE(s.dialog.checked(ToleranceSmallRadio) || s.dialog.checked(ToleranceMediumRadio) ||
                 s.dialog.checked(ToleranceHighRadio));
}

TEST_F(ReadCurrent, IgnoredUnderVoltageKeepsTheThresholdForTheNextWrite) {
    s.memory()[22] = 1;
    s.memory()[21] = 77;
    s.readOk();
    EXPECT_TRUE(s.dialog.checked(IgnoreRadio));
    EXPECT_EQ(s.dialog.text(VoltsField), "");
    EXPECT_FALSE(s.dialog.enabled(VoltsField));
    EXPECT_FALSE(s.dialog.enabled(CellVoltageCheck));
    EXPECT_EQ(s.image.thresholdCode, 77);
    s.write();
    EXPECT_EQ(s.host().lastText(), "");
    EXPECT_EQ(s.memory()[21], 77);
}

struct ReadRefusal {
    const char* name;
    int address;
    int value;
    const char* text;
    std::int32_t versionAfter;  // 0 = unchanged
};

class ReadRefusals : public ::testing::TestWithParam<ReadRefusal> {};

TEST_P(ReadRefusals, EndThroughTheErrorTail) {
    SettingsRig s;
    const ReadRefusal& r = GetParam();
    s.memory()[static_cast<std::size_t>(r.address)] = static_cast<std::uint8_t>(r.value);
    if (r.address == 32) {
        s.memory()[33] = static_cast<std::uint8_t>(r.value);
    }
    s.read();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, r.text);
    EXPECT_EQ(s.host().messages[0].caption, "Error");
    EXPECT_EQ(s.host().messages[0].ownerId, ownerMain);
    EXPECT_EQ(s.image.controllerVersion, r.versionAfter ? r.versionAfter : versionAtStart);
    EXPECT_EQ(s.dialog.text(StatusField), " ");
    EXPECT_FALSE(s.dialog.enabled(StatusField));
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.host().beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, ReadRefusals,
    ::testing::Values(
        ReadRefusal{"NotSetUp", 12, 0x65, "Erst nach Setup mit Fernsteuerung verfügbar!", 0},
        ReadRefusal{"Erased", 32, 0xFF, "Erst nach Setup mit Fernsteuerung verfügbar!", 65535},
        ReadRefusal{"WrongFamily", 32, 0x20, "Bitte kompatibles Setup-Programm downloaden!", 65535},
        ReadRefusal{"NewerProgram", 35, 0x21, "Bitte aktuelles Setup-Programm downloaden!", 65535}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadConnection, ParallelPortIsRefusedBeforeAnyLineMoves) {
    SettingsRig s;
    s.rig.selectParallel();
    s.read();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "  PORT ?");
    EXPECT_EQ(s.host().messages[0].caption, "ERROR!");
    EXPECT_EQ(s.host().messages[0].ownerId, noOwner);
    EXPECT_EQ(s.dialog.text(StatusField), "");
}

TEST(ReadConnection, MissingAdapterShowsItsReason) {
    SettingsRig s;
    s.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    s.read();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "No Adaptor found at COM2\n");
    EXPECT_EQ(s.host().messages[0].caption, "Error");
    EXPECT_EQ(s.host().messages[0].ownerId, ownerMain);
    EXPECT_FALSE(s.dialog.enabled(StatusField));
}

TEST(ReadConnection, AnotherDeviceIsReportedByTheProbe) {
    SettingsRig s;
    s.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
    s.read();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "falsches Gerät!");
    EXPECT_EQ(s.image.controllerVersion, versionAtStart);
}

TEST(ReadConnection, VanishedPortIsNoSuccess) {
    // During the identity bytes, and while the settings are decoded.
    for (std::uint64_t afterOps : {5000u, 20000u}) {
        SettingsRig s;
        s.rig.serialConfig().vanishAfterOps = afterOps;
        s.read();
        ASSERT_EQ(s.messageCount(), 1u) << afterOps;
        EXPECT_EQ(s.host().lastText(), "Keine Verbindung!") << afterOps;
        EXPECT_EQ(s.dialog.text(StatusField), " ");
        EXPECT_FALSE(s.dialog.enabled(WriteButton));
        EXPECT_FALSE(s.image.valuesRead());
        EXPECT_EQ(s.host().beeps, 0);
    }
}

class ReadMemory : public ::testing::Test {
  protected:
    SettingsRig s;
};

TEST_F(ReadMemory, RefusedBeforeAnyRead) {
    s.read(SettingsArea::Memory1);
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "Zuerst Werte einlesen!");
    EXPECT_EQ(s.host().messages[0].caption, "Error!");
    EXPECT_EQ(s.host().messages[0].ownerId, noOwner);
    EXPECT_EQ(s.dialog.text(StatusField), " ");
    EXPECT_FALSE(s.dialog.enabled(StatusField));
}

TEST_F(ReadMemory, SecondMemoryFillsTheMirroredSettingsOnly) {
    s.readOk();
    s.readOk(SettingsArea::Memory2);
    const ui::Dialog& d = s.dialog;
    EXPECT_EQ(d.text(TimingList), "15,0°");
    EXPECT_TRUE(d.checked(Frequency78Radio));
    EXPECT_EQ(d.text(BrakeList), "hart");
    EXPECT_FALSE(d.checked(OverTemperatureCheck));
    EXPECT_TRUE(d.checked(SwitchOffRadio));
    EXPECT_FALSE(d.checked(CellVoltageCheck));
    EXPECT_EQ(d.text(VoltsField), "6.0");
    EXPECT_EQ(d.text(StartPowerField), " 20");
    for (ui::ControlId id : {FullThrottleField, NeutralField, StopField, ControlSpeedField,
                             TransmitterFailureCounter, BlockedMotorCounter}) {
        EXPECT_EQ(d.text(id), "") << id;
    }
    for (ui::ControlId id :
         {WriteButton, ToleranceMediumRadio, RpmControlCheck, ForwardReverseCheck,
          ControlSpeedField, MaxFrequencyField, TransmitterFailureCounter, BlockedMotorCounter}) {
        EXPECT_FALSE(d.enabled(id)) << id;
    }
    EXPECT_FALSE(d.checked(ToleranceMediumRadio));
    EXPECT_EQ(d.text(StatusField), "OK");
    EXPECT_EQ(s.host().beeps, 2);
}

TEST_F(ReadMemory, LevelBelowThreeIsRefusedAfterTheVersionIsShown) {
    s.readOk();
    s.memory()[33] = 0x02;
    s.read(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Funktion bei dieser Controllerversion nicht verfügbar!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_EQ(s.dialog.text(VersionField), "V 10.02-1F");
    EXPECT_TRUE(s.image.valuesRead());
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
}

TEST_F(ReadMemory, EmptyMemoryIsReportedWhateverItsOtherBytes) {
    s.readOk();
    s.memory()[51] = 255;
    s.read(SettingsArea::Memory2);
    EXPECT_EQ(s.host().lastText(), "Modellspeicher2 leer");
    s.memory()[41] = 255;
    s.read(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Modellspeicher1 leer");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_TRUE(s.image.valuesRead());
}

TEST_F(ReadMemory, CurrentReadBringsTheCurrentOnlyControlsBack) {
    s.readOk();
    s.readOk(SettingsArea::Memory1);
    s.readOk();
    for (ui::ControlId id : {WriteButton, ToleranceMediumRadio, ControlSpeedField,
                             TransmitterFailureCounter, BlockedMotorCounter}) {
        EXPECT_TRUE(s.dialog.enabled(id)) << id;
    }
    EXPECT_EQ(s.dialog.text(FullThrottleField), "2.00");
}

}  // namespace
}  // namespace settings::testing
