// "Schreiben" and the model-memory writes: stored bytes, refusals, bad input.
#include <gtest/gtest.h>

#include <functional>

#include "settings_rig.h"

namespace settings::testing {
namespace {

class Write : public ::testing::Test {
  protected:
    void SetUp() override { s.readOk(); }
    SettingsRig s;
};

// Typed text, the value stored, and what the next read shows of it.
TEST_F(Write, TypedValuesStoreAndShowAgain) {
    const struct {
        ui::ControlId field;
        const char* text;
        std::size_t address;  // the high byte of a pulse time; the threshold is one byte
        int stored;
        const char* shown;
    } cases[] = {
        {FullThrottleField, "2.00", 9, 0x0FA0, "2.00"},
        {FullThrottleField, "1.90", 9, 3799, "1.90"},
        {NeutralField, "1,50", 7, 0x0B17, "1.50"},
        {NeutralField, "1.50", 7, 2839, "1.50"},
        {StopField, "1.10", 5, 0x0898, "1.10"},
        {VoltsField, "5.3", 21, 49, "5.3"},
        {VoltsField, "8,4", 21, 77, "8.4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.field == VoltsField && s.dialog.checked(CellVoltageCheck)) {
            s.click(CellVoltageCheck);
        }
        s.type(c.field, c.text);
        s.writeOk();
        EXPECT_EQ(c.field == VoltsField ? s.memory()[21] : s.word(c.address), c.stored);
        s.readOk();
        EXPECT_EQ(s.dialog.text(c.field), c.shown);
    }
    s.type(FullThrottleField, "1.79");
    const sim::SetupBytes before = s.memory();
    s.write();
    EXPECT_EQ(s.host().lastText(), "Vollgas 1.8 - 2.3ms !");
    EXPECT_EQ(s.memory(), before);
}

TEST_F(Write, UnchangedWriteKeepsTheSetupMemory) {
    sim::SetupBytes expected = s.memory();
    expected[6] = 0x17;  // a neutral time stored as 2840 shows as 1.50, which stores 2839
    s.recordStatusWords();
    s.writeOk();
    EXPECT_EQ(s.memory(), expected);
    EXPECT_EQ(s.statusWords, (std::vector<std::string>{"verbinden....", "schreiben.....", "OK"}));
    EXPECT_EQ(s.host().beeps, 2);
}

TEST_F(Write, FixedTimingAndBrakeRoundTrip) {
    s.memory()[10] = 0x4D;  // fixed timing, forward/reverse, RPM limit, brake
    s.memory()[17] = 3;
    s.memory()[18] = 16;
    s.memory()[6] = 0x17;
    s.readOk();
    const sim::SetupBytes expected = s.memory();
    s.writeOk();
    EXPECT_EQ(s.memory(), expected);
}

TEST_F(Write, AutoTimingStoresZeroDegreesInPlaceOfAnInvalidByte) {
    s.memory()[18] = 0;
    s.readOk();
    s.writeOk();
    EXPECT_EQ(s.memory()[18], 1);
}

TEST_F(Write, RpmControlWithPerCellThreshold) {
    s.setRpmPeriod500();
    s.readOk();
    s.click(RpmControlCheck);
    s.click(OverTemperatureCheck);
    s.click(ReducePowerRadio);
    ASSERT_TRUE(s.dialog.checked(CellVoltageCheck));  // "0,8V/Zelle"
    s.writeOk();
    EXPECT_EQ(s.memory()[11], 0x55);
    EXPECT_EQ(s.memory()[10], 0xB0);
    EXPECT_EQ(s.memory()[21], 255);
    EXPECT_EQ(s.memory()[20], 1);
}

TEST_F(Write, PerCellWithSwitchOffNeverReadsTheVoltsField) {
    s.click(SwitchOffRadio);
    s.type(VoltsField, "nonsense");
    s.writeOk();
    EXPECT_EQ(s.memory()[21], 255);
    EXPECT_EQ(s.memory()[22], 3);
}

TEST_F(Write, LimitsActOnTheSinglePrecisionValues) {
    const struct {
        const char *full, *neutral, *stop;
    } accepted[] = {{"1.90", "1.65", "0.79"}, {"1.80", "1.50", "1.43"}, {"2.3", "1.76", "1.69"}};
    for (const auto& c : accepted) {
        SCOPED_TRACE(c.full);
        s.type(FullThrottleField, c.full);
        s.type(NeutralField, c.neutral);
        s.type(StopField, c.stop);
        s.writeOk();
    }
}

struct Failure {
    const char* name;
    bool readFirst;
    std::function<void(SettingsRig&)> change;
    const char* text;
    const char* caption;
    int owner;
    const char* status;
    bool valuesKept;
};

class WriteFailures : public ::testing::TestWithParam<Failure> {};

// What stops a write apart from the validation of the entries.
TEST_P(WriteFailures, ShowTheirMessageAndLeaveTheMemory) {
    const Failure& f = GetParam();
    SettingsRig s;
    if (f.readFirst) {
        s.readOk();
    }
    const sim::SetupBytes before = s.memory();
    f.change(s);
    s.write();
    s.expectOnlyMessage(f.text, f.caption, f.owner);
    EXPECT_EQ(s.dialog.text(StatusField), f.status);
    EXPECT_FALSE(s.dialog.enabled(StatusField));
    EXPECT_EQ(s.image.valuesRead(), f.valuesKept);
    EXPECT_EQ(s.memory(), before);
    EXPECT_EQ(s.host().beeps, f.readFirst ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, WriteFailures,
    ::testing::Values(
        Failure{"BeforeAnyRead", false, [](auto&) {}, "Zuerst Werte einlesen!", "Error!", noOwner,
                "", false},
        Failure{"MissingAdapter", true,
                [](auto& s) { s.rig.serialConfig().loopBack = sim::LoopBack::Missing; },
                "No Adaptor found at COM2\n", "Error", ownerMain, " ", true},
        Failure{"LostController", true,
                [](auto& s) { s.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached; },
                "Keine Verbindung!", "Error", ownerMain, " ", false},
        // The first byte that does not read back ends the write.
        Failure{"WriteDoesNotStick", true,
                [](auto& s) {
                    s.rig.controllerConfig().setupWritesStick = false;
                    s.type(FullThrottleField, "2.10");
                },
                "Schreibfehler!", "Error!", noOwner, " ", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    std::function<void(SettingsRig&)> change;
    const char* text;
    bool statusKept;  // the early refusals leave "verbinden...." standing
};

class WriteRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(WriteRefusals, NothingIsWritten) {
    SettingsRig s;
    s.setRpmPeriod500();
    s.readOk();
    const sim::SetupBytes before = s.memory();
    GetParam().change(s);
    s.write();
    s.expectOnlyMessage(GetParam().text, "Error!", ownerMain);
    EXPECT_EQ(s.dialog.text(StatusField), GetParam().statusKept ? "verbinden...." : " ");
    EXPECT_EQ(s.dialog.enabled(StatusField), GetParam().statusKept);
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
            SCOPED_TRACE(std::to_string(field) + " " + text);
            SettingsRig s;
            s.readOk();
            s.click(CellVoltageCheck);
            s.type(VoltsField, "7.0");
            s.type(field, text);
            const sim::SetupBytes before = s.memory();
            s.write();
            if (s.messageCount() != 0) {
                EXPECT_EQ(s.memory(), before);
                EXPECT_NE(s.dialog.text(StatusField), "OK");
            } else {
                EXPECT_EQ(s.dialog.text(StatusField), "OK");
            }
        }
    }
}

TEST_F(Write, CountersWithoutANumberStoreZero) {
    s.memory()[23] = 5;
    s.memory()[34] = 9;
    s.readOk();
    s.type(TransmitterFailureCounter, "abc");
    s.type(BlockedMotorCounter, "");
    s.type(UnderVoltageCounter, "1e30");  // three characters: "1e3"
    s.writeOk();
    EXPECT_EQ(s.memory()[23], 0);
    EXPECT_EQ(s.memory()[34], 0);
    EXPECT_EQ(s.memory()[25], 1);
}

TEST_F(Write, MemoryStoresTheEightMirroredSettingsAndThePulseTimes) {
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.memory()[6] = 0x17;
    sim::SetupBytes expected = s.memory();
    s.dialog.setSelection(TimingList, 3);
    s.dialog.setSelection(BrakeList, 2);
    s.type(StartPowerField, "33");
    s.writeOk(SettingsArea::Memory1);
    const std::uint8_t memory1[8] = {0xD1, 9, 2, 8, 33, 3, 255, 2};
    std::copy(std::begin(memory1), std::end(memory1), expected.begin() + 40);
    EXPECT_EQ(s.memory(), expected);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), "             ");
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");
    EXPECT_FALSE(s.dialog.checked(ForwardReverseCheck));

    // The pulse times are blank now and refused on the next write.
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Vollgas 1.8 - 2.3ms !");
}

TEST_F(Write, MemoryNeverSetsForwardReverseOrRpmControl) {
    s.memory()[27] = 0x01;
    s.readOk();
    s.click(RpmControlCheck);
    s.click(OverTemperatureCheck);
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.writeOk(SettingsArea::Memory2);
    EXPECT_EQ(s.memory()[50] & 0x24, 0);
    EXPECT_EQ(s.memory()[10], 0x90);
}

TEST_F(Write, MemoryRefusalsWriteNothing) {
    s.memory()[41] = 255;
    const sim::SetupBytes emptyFirst = s.memory();
    s.write(SettingsArea::Memory2);
    EXPECT_EQ(s.host().lastText(), "Modellspeicher1 zuerst beschreiben!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_EQ(s.memory(), emptyFirst);
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");  // blanked by validation already

    s.memory()[33] = 0x02;
    s.readOk();
    const sim::SetupBytes levelTwo = s.memory();
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Funktion bei dieser Controllerversion nicht verfügbar!");
    EXPECT_EQ(s.host().lastCaption(), "Error");
    EXPECT_EQ(s.memory(), levelTwo);
}

}  // namespace
}  // namespace settings::testing
