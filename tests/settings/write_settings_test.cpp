// "Schreiben" and the model-memory writes: stored bytes, refusals, bad input.
#include <gtest/gtest.h>

#include "settings_rig.h"

namespace settings::testing {
namespace {

class WriteCurrent : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }

    void expectWrittenWithoutMessage() {
        EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
        EXPECT_EQ(s.dialog.text(StatusField), "OK");
        EXPECT_FALSE(s.dialog.enabled(StatusField));
    }

    SettingsRig s;
};

TEST_F(WriteCurrent, RefusedBeforeAnyRead) {
    SettingsRig fresh;
    const sim::SetupBytes before = fresh.memory();
    fresh.write();
    ASSERT_EQ(fresh.messageCount(), 1u);
    EXPECT_EQ(fresh.host().messages[0].text, "Zuerst Werte einlesen!");
    EXPECT_EQ(fresh.host().messages[0].caption, "Error!");
    EXPECT_EQ(fresh.host().messages[0].ownerId, noOwner);
    EXPECT_EQ(fresh.dialog.text(StatusField), "");
    EXPECT_EQ(fresh.memory(), before);
}

TEST_F(WriteCurrent, UnchangedWriteKeepsTheSetupMemory) {
    sim::SetupBytes expected = s.memory();
    // A neutral time stored as 2840 shows as 1.50, which stores 2839.
    expected[6] = 0x17;
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory(), expected);
    EXPECT_EQ(s.host().beeps, 2);
}

TEST_F(WriteCurrent, AutoTimingStoresZeroDegreesInPlaceOfAnInvalidByte) {
    s.memory()[18] = 0;
    s.readOk();
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory()[18], 1);
}

TEST_F(WriteCurrent, FixedTimingAndBrakeRoundTrip) {
    s.memory()[10] = 0x4D;  // fixed timing, forward/reverse, RPM limit, brake
    s.memory()[17] = 3;
    s.memory()[18] = 16;
    s.memory()[6] = 0x17;
    s.readOk();
    const sim::SetupBytes expected = s.memory();
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory(), expected);
}

TEST_F(WriteCurrent, PulseTimesStoreTheirSinglePrecisionValues) {
    s.type(FullThrottleField, "2.00");
    s.type(NeutralField, "1,50");
    s.type(StopField, "1.10");
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory()[9], 0x0F);
    EXPECT_EQ(s.memory()[8], 0xA0);
    EXPECT_EQ(s.memory()[7], 0x0B);
    EXPECT_EQ(s.memory()[6], 0x17);
    EXPECT_EQ(s.memory()[5], 0x08);
    EXPECT_EQ(s.memory()[4], 0x98);
    s.type(FullThrottleField, "1.90");
    s.write();
    EXPECT_EQ(s.memory()[9] * 256 + s.memory()[8], 3799);
}

TEST_F(WriteCurrent, RpmControlWithPerCellThreshold) {
    s.memory()[27] = 0x01;
    s.memory()[28] = 0xF4;  // period 500
    s.memory()[11] = 0;
    s.readOk();
    s.click(RpmControlCheck);
    s.click(OverTemperatureCheck);
    s.click(ReducePowerRadio);
    ASSERT_TRUE(s.dialog.checked(CellVoltageCheck));
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory()[11], 0x55);
    EXPECT_EQ(s.memory()[10], 0xB0);
    EXPECT_EQ(s.memory()[21], 255);
    EXPECT_EQ(s.memory()[20], 1);
}

TEST_F(WriteCurrent, ThresholdTypedWithACommaStoresItsCode) {
    s.click(CellVoltageCheck);
    s.type(VoltsField, "8,4");
    s.click(SwitchOffRadio);
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory()[21], 77);
    EXPECT_EQ(s.memory()[22], 3);
}

TEST_F(WriteCurrent, PerCellWithSwitchOffNeverReadsTheVoltsField) {
    s.click(SwitchOffRadio);
    s.type(VoltsField, "nonsense");
    s.write();
    expectWrittenWithoutMessage();
    EXPECT_EQ(s.memory()[21], 255);
}

TEST_F(WriteCurrent, FirstByteThatDoesNotReadBackEndsTheWrite) {
    s.rig.controllerConfig().setupWritesStick = false;
    s.type(FullThrottleField, "2.10");
    s.write();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "Schreibfehler!");
    EXPECT_EQ(s.host().messages[0].caption, "Error!");
    EXPECT_EQ(s.dialog.text(StatusField), " ");
    EXPECT_FALSE(s.dialog.enabled(StatusField));
    EXPECT_EQ(s.host().beeps, 1);
}

TEST_F(WriteCurrent, ProgressWordsAppearInOrder) {
    std::vector<std::string> shown;
    s.host().onRepaint = [&](ui::Dialog& d) {
        if (shown.empty() || shown.back() != d.text(StatusField)) {
            shown.push_back(d.text(StatusField));
        }
    };
    s.write();
    EXPECT_EQ(shown, (std::vector<std::string>{"verbinden....", "schreiben.....", "OK"}));
}

TEST_F(WriteCurrent, MissingAdapterWritesNothing) {
    s.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    const sim::SetupBytes before = s.memory();
    s.write();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, "No Adaptor found at COM2\n");
    EXPECT_EQ(s.host().messages[0].caption, "Error");
    EXPECT_EQ(s.host().messages[0].ownerId, ownerMain);
    EXPECT_EQ(s.dialog.text(StatusField), " ");
    EXPECT_FALSE(s.dialog.enabled(StatusField));
    EXPECT_TRUE(s.image.valuesRead());
    EXPECT_EQ(s.memory(), before);
}

TEST_F(WriteCurrent, LostControllerInvalidatesTheValues) {
    s.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
    const sim::SetupBytes before = s.memory();
    s.write();
    EXPECT_EQ(s.host().lastText(), "Keine Verbindung!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_FALSE(s.image.valuesRead());
    EXPECT_EQ(s.memory(), before);
}

struct Refusal {
    const char* name;
    std::function<void(SettingsRig&)> change;
    const char* text;
    bool statusKept;  // the early refusals leave "verbinden...." standing
};

class WriteRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(WriteRefusals, NothingIsWritten) {
    SettingsRig s;
    s.memory()[27] = 0x01;
    s.memory()[28] = 0xF4;
    s.readOk();
    const sim::SetupBytes before = s.memory();
    GetParam().change(s);
    s.write();
    ASSERT_EQ(s.messageCount(), 1u);
    EXPECT_EQ(s.host().messages[0].text, GetParam().text);
    EXPECT_EQ(s.host().messages[0].caption, "Error!");
    EXPECT_EQ(s.host().messages[0].ownerId, ownerMain);
    if (GetParam().statusKept) {
        EXPECT_EQ(s.dialog.text(StatusField), "verbinden....");
        EXPECT_TRUE(s.dialog.enabled(StatusField));
    } else {
        EXPECT_EQ(s.dialog.text(StatusField), " ");
        EXPECT_FALSE(s.dialog.enabled(StatusField));
    }
    EXPECT_EQ(s.memory(), before);
}

void set(SettingsRig& s, ui::ControlId id, const char* text) {
    s.type(id, text);
}
void rpmOn(SettingsRig& s) {
    s.click(RpmControlCheck);
    s.click(OverTemperatureCheck);
}

INSTANTIATE_TEST_SUITE_P(
    Validation, WriteRefusals,
    ::testing::Values(
        Refusal{"FullThrottle179", [](auto& s) { set(s, FullThrottleField, "1.79"); },
                "Vollgas 1.8 - 2.3ms !", true},
        Refusal{"FullThrottleHigh", [](auto& s) { set(s, FullThrottleField, "2,31"); },
                "Vollgas 1.8 - 2.3ms !", true},
        Refusal{"FullThrottleNan", [](auto& s) { set(s, FullThrottleField, "nan"); },
                "Vollgas 1.8 - 2.3ms !", true},
        Refusal{"Stop170", [](auto& s) { set(s, StopField, "1.70"); }, "Stopp 0.8 - 1.7ms !", true},
        Refusal{"StopLow", [](auto& s) { set(s, StopField, "0.78"); }, "Stopp 0.8 - 1.7ms !", true},
        Refusal{"NeutralNearFull",
                [](auto& s) {
                    set(s, FullThrottleField, "1.90");
                    set(s, NeutralField, "1.66");
                },
                "Neutral-Vollgas >= 0.25ms !", true},
        Refusal{"NeutralNearStop",
                [](auto& s) {
                    set(s, NeutralField, "1.50");
                    set(s, StopField, "1.44");
                },
                "neutral-stop >= 0.07ms !", true},
        Refusal{"RpmWithBrake",
                [](auto& s) {
                    rpmOn(s);
                    s.dialog.setSelection(BrakeList, 1);
                },
                "Bremse bei Drehzahlregelung nicht möglich!", false},
        Refusal{"RpmWithOverTemperature", [](auto& s) { s.click(RpmControlCheck); },
                "Uebertemp-Abschaltung bei Drehzahlregelung nicht möglich! ", false},
        Refusal{"RpmWithoutPeriod",
                [](auto& s) {
                    rpmOn(s);
                    s.image.rpmPeriod = 65001;
                },
                "Werte für Drehzahlregelung fehlen!", false},
        Refusal{"RpmWithSwitchOff",
                [](auto& s) {
                    rpmOn(s);
                    s.click(SwitchOffRadio);
                },
                "Unterspg-Abschaltung bei Drehzahlregelung nicht möglich! ", false},
        Refusal{"ThresholdHigh",
                [](auto& s) {
                    s.click(CellVoltageCheck);
                    set(s, VoltsField, "6.0");
                    s.click(SwitchOffRadio);
                    set(s, VoltsField, "12");
                },
                "Wert 'Schwelle' 5.3V - 10.5V!", false},
        Refusal{"ThresholdEmptyAfterUncheck", [](auto& s) { s.click(CellVoltageCheck); },
                "Wert 'Schwelle' 5.3V - 10.5V!", false},
        Refusal{"FastClockAt8MHz", [](auto& s) { s.image.clockMHz = 8; },
                "Takt-Frequenz bei 8MHz nicht möglich!", false},
        Refusal{"ControlSpeedZero", [](auto& s) { set(s, ControlSpeedField, "0"); },
                "Softanlauf 1 - 50!", false},
        Refusal{"ControlSpeedEmpty", [](auto& s) { set(s, ControlSpeedField, ""); },
                "Softanlauf 1 - 50!", false},
        Refusal{"ControlSpeedCutAtThreeDigits", [](auto& s) { set(s, ControlSpeedField, "  123"); },
                "Softanlauf 1 - 50!", false},
        Refusal{"TimingUnmatched", [](auto& s) { set(s, TimingList, "45°"); }, "Timing?", false},
        Refusal{"StartPowerHigh", [](auto& s) { set(s, StartPowerField, "51"); },
                "Leistung Anlauf 1 - 50!", false},
        Refusal{"StartPowerEmpty", [](auto& s) { set(s, StartPowerField, ""); },
                "Leistung Anlauf 1 - 50!", false},
        Refusal{"BrakeUnmatched", [](auto& s) { set(s, BrakeList, "stark"); }, "Bremse?", false},
        Refusal{"NoFrequency", [](auto& s) { s.dialog.setChecked(Frequency156Radio, false); },
                "Schaltfrequenz?", false},
        Refusal{"NoUnderVoltageMode", [](auto& s) { s.dialog.setChecked(ReducePowerRadio, false); },
                "Unterspannung?", false},
        Refusal{"NoTolerance", [](auto& s) { s.dialog.setChecked(ToleranceMediumRadio, false); },
                "Signal-Toleranz?", false},
        Refusal{"CounterNegative", [](auto& s) { set(s, UnderVoltageCounter, "-1"); },
                "Log-Datei 0 - 255!", false},
        Refusal{"CounterTooLarge", [](auto& s) { set(s, BlockedMotorCounter, "256"); },
                "Log-Datei 0 - 255!", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteBounds, LimitsActOnTheSinglePrecisionValues) {
    SettingsRig s;
    s.readOk();
    s.type(FullThrottleField, "1.90");
    s.type(NeutralField, "1.65");
    s.type(StopField, "0.79");
    s.write();
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
    s.type(FullThrottleField, "1.80");
    s.type(NeutralField, "1.50");
    s.type(StopField, "1.43");
    s.write();
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
    s.type(StopField, "1.69");
    s.type(NeutralField, "1.76");
    s.type(FullThrottleField, "2.3");
    s.write();
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
}

TEST(WriteBadText, EveryEditFieldSurvivesAnyText) {
    const ui::ControlId fields[] = {FullThrottleField,
                                    NeutralField,
                                    StopField,
                                    VoltsField,
                                    ControlSpeedField,
                                    StartPowerField,
                                    TransmitterFailureCounter,
                                    OverTemperatureCounter,
                                    UnderVoltageCounter,
                                    BlockedMotorCounter};
    const char* texts[] = {"",        "abc",      "1e30", "12345678901234567890",          ",", "-",
                           "  ,5e-9", "\xff\xfe", "inf",  "999999999999999999999999999999"};
    for (ui::ControlId field : fields) {
        for (const char* text : texts) {
            SettingsRig s;
            s.readOk();
            s.click(CellVoltageCheck);
            s.type(VoltsField, "7.0");
            s.type(field, text);
            const sim::SetupBytes before = s.memory();
            s.write();
            if (s.messageCount() != 0) {
                EXPECT_EQ(s.memory(), before) << field << " " << text;
                EXPECT_NE(s.dialog.text(StatusField), "OK");
            } else {
                EXPECT_EQ(s.dialog.text(StatusField), "OK") << field << " " << text;
            }
        }
    }
}

TEST(WriteBadText, CountersWithoutANumberStoreZero) {
    SettingsRig s;
    s.memory()[23] = 5;
    s.memory()[34] = 9;
    s.readOk();
    s.type(TransmitterFailureCounter, "abc");
    s.type(BlockedMotorCounter, "");
    s.type(UnderVoltageCounter, "1e30");  // three characters: "1e3"
    s.write();
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
    EXPECT_EQ(s.memory()[23], 0);
    EXPECT_EQ(s.memory()[34], 0);
    EXPECT_EQ(s.memory()[25], 1);
}

class WriteMemory : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }
    SettingsRig s;
};

TEST_F(WriteMemory, StoresTheEightMirroredSettingsAndThePulseTimes) {
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.memory()[6] = 0x17;
    sim::SetupBytes expected = s.memory();
    s.dialog.setSelection(TimingList, 3);
    s.dialog.setSelection(BrakeList, 2);
    s.type(StartPowerField, "33");
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
    const std::uint8_t memory1[8] = {0xD1, 9, 2, 8, 33, 3, 255, 2};
    for (int i = 0; i < 8; ++i) {
        expected[static_cast<std::size_t>(40 + i)] = memory1[i];
    }
    EXPECT_EQ(s.memory(), expected);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), "             ");
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");
    EXPECT_FALSE(s.dialog.checked(ForwardReverseCheck));
}

TEST_F(WriteMemory, NeverSetsForwardReverseOrRpmControl) {
    s.memory()[27] = 0x01;
    s.readOk();
    s.click(RpmControlCheck);
    s.click(OverTemperatureCheck);
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.write(SettingsArea::Memory2);
    EXPECT_EQ(s.messageCount(), 0u) << s.host().lastText();
    EXPECT_EQ(s.memory()[50] & 0x24, 0);
    EXPECT_EQ(s.memory()[10], 0x90);
}

TEST_F(WriteMemory, SecondBeforeFirstIsRefusedBeforeAnyByteIsWritten) {
    s.memory()[41] = 255;
    const sim::SetupBytes before = s.memory();
    s.write(SettingsArea::Memory2);
    EXPECT_EQ(s.host().lastText(), "Modellspeicher1 zuerst beschreiben!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_EQ(s.memory(), before);
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");  // blanked by validation already
}

TEST_F(WriteMemory, BlankPulseTimesAfterAMemoryWriteAreRefused) {
    s.write(SettingsArea::Memory1);
    ASSERT_EQ(s.messageCount(), 0u);
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Vollgas 1.8 - 2.3ms !");
}

TEST_F(WriteMemory, LevelBelowThreeIsRefusedThroughTheErrorTail) {
    s.memory()[33] = 0x02;
    s.readOk();
    const sim::SetupBytes before = s.memory();
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Funktion bei dieser Controllerversion nicht verfügbar!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_EQ(s.memory(), before);
}

}  // namespace
}  // namespace settings::testing
