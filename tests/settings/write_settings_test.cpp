// "Schreiben" and the model-memory writes: stored bytes, refusals, bad input.
#include <gtest/gtest.h>

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
    } cases[] = {{FullThrottleField, "2.00", 9, 0x0FA0, "2.00"},
                 {FullThrottleField, "1.90", 9, 3799, "1.90"},
                 {NeutralField, "1,50", 7, 0x0B17, "1.50"},
                 {NeutralField, "1.50", 7, 2839, "1.50"},
                 {StopField, "1.10", 5, 0x0898, "1.10"},
                 {VoltsField, "5.3", 21, 49, "5.3"},
                 {VoltsField, "8,4", 21, 77, "8.4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.field == VoltsField && s.dialog.checked(CellVoltageCheck)) {
            s.click(CellVoltageCheck);
        }
        s.type(c.field, c.text);
        s.writeOk();
        const int word = s.memory()[c.address] * 256 + s.memory()[c.address - 1];
        EXPECT_EQ(c.field == VoltsField ? s.memory()[21] : word, c.stored);
        s.readOk();
        EXPECT_EQ(s.dialog.text(c.field), c.shown);
    }
    s.type(FullThrottleField, "1.79");
    const sim::SetupBytes before = s.memory();
    s.write();
    EXPECT_EQ(s.host().lastText(), "Vollgas 1.8 - 2.3ms !");
    EXPECT_EQ(s.memory(), before);
}

TEST(WriteRoundTrip, UnchangedWriteKeepsTheSetupMemory) {
    const struct {
        const char* name;
        Bytes set, changed;
    } cases[] = {
        // A neutral time stored as 2840 shows as 1.50, which stores 2839.
        {"as delivered", {}, {{6, 0x17}}},
        {"fixed timing, forward/reverse, RPM limit, brake",
         {{10, 0x4D}, {17, 3}, {18, 16}},
         {{6, 0x17}}},
        {"auto timing over an invalid byte stores 0 degrees", {{18, 0}}, {{6, 0x17}, {18, 1}}},
        {"ignored under-voltage keeps its threshold", {{22, 1}, {21, 77}}, {{6, 0x17}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig s;
        poke(c.set)(s);
        s.readOk();
        sim::SetupBytes expected = s.memory();
        for (const auto& [address, value] : c.changed) {
            expected[address] = value;
        }
        s.recordStatusWords();
        s.writeOk();
        EXPECT_EQ(s.memory(), expected);
        EXPECT_EQ(s.statusWords, (Strings{"verbinden....", "schreiben.....", "OK"}));
        EXPECT_EQ(s.host().beeps, 2);
    }
}

TEST_F(Write, RpmControlWithPerCellThreshold) {
    readWith({{27, 0x01}, {28, 0xF4}, {11, 0}})(s);  // period 500, no marker
    edit({RpmControlCheck, OverTemperatureCheck, ReducePowerRadio})(s);
    ASSERT_TRUE(s.dialog.checked(CellVoltageCheck));  // "0,8V/Zelle"
    s.writeOk();
    EXPECT_EQ(s.memory()[11], 0x55);
    EXPECT_EQ(s.memory()[10], 0xB0);
    EXPECT_EQ(s.memory()[21], 255);
    EXPECT_EQ(s.memory()[20], 1);
}

TEST_F(Write, PerCellWithSwitchOffNeverReadsTheVoltsField) {
    edit({SwitchOffRadio}, {{VoltsField, "nonsense"}})(s);
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
        edit({}, {{FullThrottleField, c.full}, {NeutralField, c.neutral}, {StopField, c.stop}})(s);
        s.writeOk();
    }
}

TEST_F(Write, CountersWithoutANumberStoreZero) {
    readWith({{23, 5}, {34, 9}})(s);
    // "1e30" is read as its first three characters, "1e3".
    edit({}, {{TransmitterFailureCounter, "abc"},
              {BlockedMotorCounter, ""},
              {UnderVoltageCounter, "1e30"}})(s);
    s.writeOk();
    EXPECT_EQ(s.memory()[23], 0);
    EXPECT_EQ(s.memory()[34], 0);
    EXPECT_EQ(s.memory()[25], 1);
}

TEST_F(Write, MemoryStoresTheEightMirroredSettingsAndThePulseTimes) {
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.memory()[6] = 0x17;
    sim::SetupBytes expected = s.memory();
    edit({}, {{TimingList, "22,5°"}, {BrakeList, "mittel"}, {StartPowerField, "33"}})(s);
    s.writeOk(SettingsArea::Memory1);
    const std::uint8_t memory1[8] = {0xD1, 9, 2, 8, 33, 3, 255, 2};
    std::copy(std::begin(memory1), std::end(memory1), expected.begin() + 40);
    EXPECT_EQ(s.memory(), expected);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_EQ(s.dialog.text(MaxFrequencyField), "             ");
    EXPECT_FALSE(s.dialog.checked(ForwardReverseCheck));
    // The pulse times are blank now and refused on the next write.
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), "Vollgas 1.8 - 2.3ms !");
}

TEST_F(Write, MemoryNeverSetsForwardReverseOrRpmControl) {
    edit({RpmControlCheck, OverTemperatureCheck})(s);
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.writeOk(SettingsArea::Memory2);
    EXPECT_EQ(s.memory()[50] & 0x24, 0);
    EXPECT_EQ(s.memory()[10], 0x90);
}

// What stops a write apart from the validation of the entries; a byte that does not read
// back ends the write.
struct Failure {
    const char* name;
    SettingsArea area;
    Change change;
    const char* text;
    const char* caption = "Error";
    int owner = ownerMain;
    const char* status = " ";
    bool valuesKept = true;
};

class WriteFailures : public ::testing::TestWithParam<Failure> {};

TEST_P(WriteFailures, ShowTheirMessageAndLeaveTheMemory) {
    const Failure& f = GetParam();
    SettingsRig s;
    f.change(s);
    const sim::SetupBytes before = s.memory();
    const int beeps = s.host().beeps;
    s.write(f.area);
    s.expectOnlyMessage(f.text, f.caption, f.owner);
    EXPECT_EQ(s.dialog.text(StatusField), f.status);
    EXPECT_FALSE(s.dialog.enabled(StatusField));
    EXPECT_EQ(s.image.valuesRead(), f.valuesKept);
    EXPECT_EQ(s.memory(), before);
    EXPECT_EQ(s.host().beeps, beeps);
}

constexpr auto current = SettingsArea::Current;

void lostController(SettingsRig& s) {
    s.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
}
void writesDoNotStick(SettingsRig& s) {
    s.rig.controllerConfig().setupWritesStick = false;
    s.type(FullThrottleField, "2.10");
}

INSTANTIATE_TEST_SUITE_P(
    All, WriteFailures,
    ::testing::Values(
        Failure{"BeforeAnyRead", current, [](auto&) {}, "Zuerst Werte einlesen!", "Error!", noOwner,
                "", false},
        Failure{"MissingAdapter", current, afterRead(adapterMissing), "No Adaptor found at COM2\n"},
        Failure{"LostController", current, afterRead(lostController), "Keine Verbindung!", "Error",
                ownerMain, " ", false},
        Failure{"WriteDoesNotStick", current, afterRead(writesDoNotStick), "Schreibfehler!",
                "Error!", noOwner},
        Failure{"Memory2BeforeMemory1", SettingsArea::Memory2, afterRead(poke({{41, 255}})),
                "Modellspeicher1 zuerst beschreiben!"},
        Failure{"MemoryBelowLevelThree", SettingsArea::Memory1, readWith({{33, 0x02}}),
                "Funktion bei dieser Controllerversion nicht verfügbar!"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    Change change;
    const char* text;
    bool statusKept = false;  // the early refusals leave "verbinden...." standing
};

class WriteRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(WriteRefusals, NothingIsWritten) {
    SettingsRig s;
    s.readOk();
    const sim::SetupBytes before = s.memory();
    GetParam().change(s);
    s.write();
    s.expectOnlyMessage(GetParam().text, "Error!", ownerMain);
    EXPECT_EQ(s.dialog.text(StatusField), GetParam().statusKept ? "verbinden...." : " ");
    EXPECT_EQ(s.dialog.enabled(StatusField), GetParam().statusKept);
    EXPECT_EQ(s.memory(), before);
}

Change uncheck(ui::ControlId id) {
    return [=](SettingsRig& s) { s.dialog.setChecked(id, false); };
}
const std::vector<ui::ControlId> rpmOn = {RpmControlCheck, OverTemperatureCheck};
const char* const fullRange = "Vollgas 1.8 - 2.3ms !";
const char* const stopRange = "Stopp 0.8 - 1.7ms !";
const char* const threshold = "Wert 'Schwelle' 5.3V - 10.5V!";
const char* const controlSpeed = "Softanlauf 1 - 50!";
const char* const startPower = "Leistung Anlauf 1 - 50!";
const char* const counter = "Log-Datei 0 - 255!";

INSTANTIATE_TEST_SUITE_P(
    Validation, WriteRefusals,
    ::testing::Values(
        Refusal{"FullThrottleHigh", typed(FullThrottleField, "2,31"), fullRange, true},
        Refusal{"FullThrottleNan", typed(FullThrottleField, "nan"), fullRange, true},
        Refusal{"Stop170", typed(StopField, "1.70"), stopRange, true},
        Refusal{"StopLow", typed(StopField, "0.78"), stopRange, true},
        Refusal{"NeutralNearFull", edit({}, {{FullThrottleField, "1.90"}, {NeutralField, "1.66"}}),
                "Neutral-Vollgas >= 0.25ms !", true},
        Refusal{"NeutralNearStop", edit({}, {{NeutralField, "1.50"}, {StopField, "1.44"}}),
                "neutral-stop >= 0.07ms !", true},
        Refusal{"RpmWithBrake", edit(rpmOn, {{BrakeList, "hart"}}),
                "Bremse bei Drehzahlregelung nicht möglich!"},
        Refusal{"RpmWithOverTemperature", edit({RpmControlCheck}),
                "Uebertemp-Abschaltung bei Drehzahlregelung nicht möglich! "},
        Refusal{"RpmWithoutPeriod",
                [](auto& s) {
                    edit(rpmOn)(s);
                    s.image.rpmPeriod = 65001;
                },
                "Werte für Drehzahlregelung fehlen!"},
        Refusal{"RpmWithSwitchOff", edit({RpmControlCheck, OverTemperatureCheck, SwitchOffRadio}),
                "Unterspg-Abschaltung bei Drehzahlregelung nicht möglich! "},
        Refusal{"ThresholdHigh", edit({CellVoltageCheck}, {{VoltsField, "12"}}), threshold},
        Refusal{"ThresholdEmptyAfterUncheck", edit({CellVoltageCheck}), threshold},
        Refusal{"FastClockAt8MHz", [](auto& s) { s.image.clockMHz = 8; },
                "Takt-Frequenz bei 8MHz nicht möglich!"},
        Refusal{"ControlSpeedZero", typed(ControlSpeedField, "0"), controlSpeed},
        Refusal{"ControlSpeedEmpty", typed(ControlSpeedField, ""), controlSpeed},
        Refusal{"ControlSpeedCutAtThreeDigits", typed(ControlSpeedField, "  123"), controlSpeed},
        Refusal{"TimingUnmatched", typed(TimingList, "45°"), "Timing?"},
        Refusal{"StartPowerHigh", typed(StartPowerField, "51"), startPower},
        Refusal{"StartPowerEmpty", typed(StartPowerField, ""), startPower},
        Refusal{"BrakeUnmatched", typed(BrakeList, "stark"), "Bremse?"},
        Refusal{"NoFrequency", uncheck(Frequency156Radio), "Schaltfrequenz?"},
        Refusal{"NoUnderVoltageMode", uncheck(ReducePowerRadio), "Unterspannung?"},
        Refusal{"NoTolerance", uncheck(ToleranceMediumRadio), "Signal-Toleranz?"},
        Refusal{"CounterNegative", typed(UnderVoltageCounter, "-1"), counter},
        Refusal{"CounterTooLarge", typed(BlockedMotorCounter, "256"), counter}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever an edit field holds, a write either stores and says "OK" or is refused
// with nothing written.
TEST(WriteBadText, EveryEditFieldSurvivesAnyText) {
    for (ui::ControlId field : {FullThrottleField, NeutralField, StopField, VoltsField,
                                ControlSpeedField, StartPowerField, TransmitterFailureCounter,
                                OverTemperatureCounter, UnderVoltageCounter, BlockedMotorCounter}) {
        for (const char* text : {"", "abc", "1e30", "12345678901234567890", ",", "-", "  ,5e-9",
                                 "\xff\xfe", "inf", "999999999999999999999999999999"}) {
            SCOPED_TRACE(std::to_string(field) + " " + text);
            SettingsRig s;
            s.readOk();
            edit({CellVoltageCheck}, {{VoltsField, "7.0"}, {field, text}})(s);
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

}  // namespace
}  // namespace settings::testing
