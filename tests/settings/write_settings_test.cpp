// "Schreiben" and the model-memory writes: stored bytes, refusals, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "settings_rig.h"

namespace settings::testing {
namespace {

using Write = AfterARead;

const char* const fullRange = "Vollgas 1.8 - 2.3ms !";
const char* const kept = "verbinden....";

TEST(WriteRoundTrip, UnchangedWriteKeepsTheSetupMemory) {
    // A neutral time stored as 2840 shows as 1.50, which stores 2839.
    for (const Bytes& set : {Bytes{}, Bytes{{10, 0x4D}, {17, 3}, {18, 16}, {22, 1}, {21, 77}}}) {
        SettingsRig s;
        readWith(set)(s);
        sim::SetupBytes expected = s.memory();
        expected[6] = 0x17;
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
    EXPECT_EQ(s.bytesAt({11, 10, 21, 20}), "85/176/255/1");  // 0x55, 0xB0
}

TEST_F(Write, TextsWithoutANumber) {
    readWith({{23, 5}, {34, 9}})(s);
    // Per cell with switch-off never reads the volts field. A counter without a number
    // stores 0; "1e30" is read as its first three characters.
    edit({SwitchOffRadio}, {{VoltsField, "nonsense"},
                            {TransmitterFailureCounter, "abc"},
                            {BlockedMotorCounter, ""},
                            {UnderVoltageCounter, "1e30"}})(s);
    s.writeOk();
    EXPECT_EQ(s.bytesAt({21, 22, 23, 34, 25}), "255/3/0/0/1");
}

// The limits act on the single-precision values; the upper ones are accepted.
TEST_F(Write, ValuesAtTheLimitsAreAccepted) {
    for (const auto& [full, neutral, stop] :
         {std::tuple{"1.90", "1.65", "0.79"}, {"1.80", "1.50", "1.43"}, {"2.3", "1.76", "1.69"}}) {
        edit({}, {{FullThrottleField, full}, {NeutralField, neutral}, {StopField, stop}})(s);
        s.writeOk();
    }
    edit({CellVoltageCheck}, {{StartPowerField, "50"},
                              {ControlSpeedField, "50"},
                              {BlockedMotorCounter, "255"},
                              {TransmitterFailureCounter, "255"},
                              {VoltsField, "5.3"}})(s);
    s.writeOk();
    EXPECT_EQ(s.memory()[21], 49);
    s.type(VoltsField, "10,5");
    s.writeOk();
    EXPECT_EQ(s.memory()[21], 96);
}

// Never with forward/reverse or RPM control, which the memories cannot hold.
TEST_F(Write, MemoryStoresTheEightMirroredSettingsAndThePulseTimes) {
    edit({RpmControlCheck, OverTemperatureCheck})(s);
    s.dialog.setChecked(ForwardReverseCheck, true);
    s.memory()[6] = 0x17;
    sim::SetupBytes expected = s.memory();
    edit({}, {{TimingList, "22,5°"}, {BrakeList, "mittel"}, {StartPowerField, "33"}})(s);
    s.writeOk(SettingsArea::Memory1);
    const std::uint8_t memory1[8] = {0xD1, 9, 2, 8, 33, 1, 255, 2};  // no 0x04, no 0x20
    std::copy(std::begin(memory1), std::end(memory1), expected.begin() + 40);
    EXPECT_EQ(s.memory(), expected);
    EXPECT_FALSE(s.dialog.enabled(WriteButton));
    EXPECT_FALSE(s.dialog.checked(ForwardReverseCheck));
    // The pulse times are blank now and refused on the next write.
    EXPECT_EQ(s.dialog.text(FullThrottleField), "");
    s.write(SettingsArea::Memory1);
    EXPECT_EQ(s.host().lastText(), fullRange);
}

// A write refused, before or after the link: one message, the memory untouched.
struct Refusal {
    Change change;  // after a read
    const char* text;
    const char* status = " ";  // the entry checks before any byte leave "verbinden...."
    const char* caption = "Error!";
    int owner = ownerMain;
    SettingsArea area = SettingsArea::Current;
    bool valuesKept = true;
};

const std::vector<ui::ControlId> rpmOn = {RpmControlCheck, OverTemperatureCheck};
Change uncheck(ui::ControlId id) {
    return [=](SettingsRig& s) { s.dialog.setChecked(id, false); };
}

// One row per check, at its boundary or with a text that reads as no number.
TEST(WriteRefusals, ShowTheirMessageAndWriteNothing) {
    const Refusal cases[] = {
        {[](auto& s) { s.rig.serialConfig().loopBack = sim::LoopBack::Missing; },
         "No Adaptor found at COM2\n", " ", "Error"},
        {[](auto& s) { s.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached; },
         "Keine Verbindung!", " ", "Error", ownerMain, SettingsArea::Current, false},
        {[](auto& s) {
             s.rig.controllerConfig().setupWritesStick = false;
             s.type(FullThrottleField, "2.10");
         },
         "Schreibfehler!", " ", "Error!", noOwner},
        {poke({{41, 255}}), "Modellspeicher1 zuerst beschreiben!", " ", "Error", ownerMain,
         SettingsArea::Memory2},
        {readWith({{33, 0x02}}), "Funktion bei dieser Controllerversion nicht verfügbar!", " ",
         "Error", ownerMain, SettingsArea::Memory1},
        {typed(FullThrottleField, "1.79"), fullRange, kept},
        {typed(FullThrottleField, "nan"), fullRange, kept},
        {typed(StopField, "1.70"), "Stopp 0.8 - 1.7ms !", kept},
        {edit({}, {{FullThrottleField, "1.90"}, {NeutralField, "1.66"}}),
         "Neutral-Vollgas >= 0.25ms !", kept},
        {edit({}, {{NeutralField, "1.50"}, {StopField, "1.44"}}), "neutral-stop >= 0.07ms !", kept},
        {edit(rpmOn, {{BrakeList, "hart"}}), "Bremse bei Drehzahlregelung nicht möglich!"},
        {edit({RpmControlCheck}), "Uebertemp-Abschaltung bei Drehzahlregelung nicht möglich! "},
        {[](auto& s) {
             edit(rpmOn)(s);
             s.image.rpmPeriod = 65001;
         },
         "Werte für Drehzahlregelung fehlen!"},
        {edit({RpmControlCheck, OverTemperatureCheck, SwitchOffRadio}),
         "Unterspg-Abschaltung bei Drehzahlregelung nicht möglich! "},
        {edit({CellVoltageCheck}), "Wert 'Schwelle' 5.3V - 10.5V!"},
        {[](auto& s) { s.image.clockMHz = 8; }, "Takt-Frequenz bei 8MHz nicht möglich!"},
        {typed(ControlSpeedField, "0"), "Softanlauf 1 - 50!"},
        {typed(ControlSpeedField, "  150"), "Softanlauf 1 - 50!"},
        {typed(TimingList, "45°"), "Timing?"},
        {typed(StartPowerField, "\xff\xfe"), "Leistung Anlauf 1 - 50!"},
        {typed(BrakeList, "stark"), "Bremse?"},
        {uncheck(Frequency156Radio), "Schaltfrequenz?"},
        {uncheck(ReducePowerRadio), "Unterspannung?"},
        {uncheck(ToleranceMediumRadio), "Signal-Toleranz?"},
        {typed(BlockedMotorCounter, "256"), "Log-Datei 0 - 255!"},
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.text);
        SettingsRig s;
        s.readOk();
        r.change(s);
        const sim::SetupBytes before = s.memory();
        const int beeps = s.host().beeps;
        s.write(r.area);
        s.expectOnlyMessage(r.text, r.caption, r.owner);
        EXPECT_EQ(s.dialog.text(StatusField), r.status);
        EXPECT_EQ(s.dialog.enabled(StatusField), std::string(r.status) == kept);
        EXPECT_EQ(s.image.valuesRead(), r.valuesKept);
        EXPECT_EQ(s.memory(), before);
        EXPECT_EQ(s.host().beeps, beeps);
    }
}

// The port vanishing at every few line operations of the byte writes. Only the neutral
// time's low byte changes (2840 shows as 1.50, which stores 2839): once it is stored and
// verified, every change is in, whatever the box says.
TEST(WriteInterrupted, TheOutcomeSaysWhetherEveryChangedByteWasStored) {
    std::set<ui::Outcome> seen;
    for (std::uint64_t k = 1; k < 100'000; k += 97) {
        SCOPED_TRACE(k);
        SettingsRig s;
        s.readOk();
        s.host().onRepaint = [&s, k](ui::Dialog& d) {
            if (d.text(StatusField) == "schreiben....." &&
                s.rig.serialConfig().vanishAfterOps == 0) {
                s.rig.serialConfig().vanishAfterOps = s.rig.serialPorts().operationCount() + k;
            }
        };
        s.write();
        if (s.host().messages.empty()) {
            break;  // the port outlived the write
        }
        ASSERT_EQ(s.host().messages.size(), 1u);
        EXPECT_EQ(s.host().lastText() + "|" + s.host().lastCaption(), "Schreibfehler!|Error!");
        const std::string& detail = s.host().pendingDetail();
        if (s.outcome == ui::Outcome::Done) {
            EXPECT_EQ(s.memory()[6], 0x17);  // never claimed without the change stored
            EXPECT_NE(detail.find("every change was stored"), std::string::npos) << detail;
        } else {
            EXPECT_EQ(s.outcome, ui::Outcome::Failed);
            EXPECT_NE(detail.find("did not read back"), std::string::npos) << detail;
        }
        EXPECT_NE(detail.find("setup bytes stored and verified"), std::string::npos) << detail;
        seen.insert(s.outcome);
    }
    EXPECT_EQ(seen, (std::set<ui::Outcome>{ui::Outcome::Done, ui::Outcome::Failed}));
}

}  // namespace
}  // namespace settings::testing
