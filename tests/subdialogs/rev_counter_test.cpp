// "Drehzahl messen" end to end: the virtual controller's motor pulses counted in
// 2-second windows; "Sperrfunktionen", and the read values every sub-dialog needs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "resources/lock_functions_dialog.h"
#include "resources/rev_counter_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace rev_ids;

constexpr const char* propLabel = "Prop-Drehzahl,  U/min";

// One pulse at 5 ms ends the wait; then perWindow pulses well inside each of two windows.
std::vector<std::uint64_t> windowPulsesUs(int perWindow) {
    std::vector<std::uint64_t> times{5'000};
    for (int i = 0; i < 2 * perWindow; ++i) {
        times.push_back(15'000 + 2'000'000ull * (i / perWindow) +
                        1'900'000ull * (i % perWindow) / perWindow);
    }
    return times;
}

struct Frame {
    std::uint64_t timeMs;
    std::string label;
    std::string values;  // rate|frequency|motor|prop
};

// The rev counter with no motor, and every repaint of it recorded.
struct Measurement {
    SubdialogRig r;
    std::vector<Frame> frames;

    Measurement() {
        r.rig.motorConfig().pulseRateHz = 0;
        r.rig.serialConfig().opCostNs = 20'000;  // still ten reads in every 200 µs pulse
        r.host().onRepaint = [this](ui::Dialog& d) {
            if (d.id() == rev_ids::Dialog) {
                frames.push_back({nowMs(), d.text(PropSpeedLabel),
                                  d.text(RatePerMinuteField) + "|" + d.text(FrequencyField) + "|" +
                                      d.text(MotorSpeedField) + "|" + d.text(PropSpeedField)});
            }
        };
    }
    std::uint64_t nowMs() { return r.rig.clock().nowNs() / 1'000'000; }
    void measure() { r.open(settings::openRevCounter, steps({{ReleaseMotorButton}})); }
    // After a measurement all four fields are blanked; after the wait only the countdown's.
    void expectIdleAgain(bool measured) {
        ASSERT_TRUE(r.lastDialog);
        EXPECT_EQ(r.lastDialog->text(PropSpeedLabel), propLabel);
        EXPECT_EQ(r.lastDialog->text(PropSpeedField), " ");
        EXPECT_EQ(r.lastDialog->text(MotorSpeedField), measured ? " " : "");
        EXPECT_EQ(r.rig.controller().mode(), sim::ControllerMode::InReset);
        EXPECT_EQ(r.host().beeps, 1);
    }
};

// Shown through the second window, blanked one window after the pulses stop.
TEST(RevCounter, PulsesPerWindowGiveTheSpeeds) {
    Measurement m;
    m.r.dir.write(configName, motorConfig("14", "4.33"));
    m.r.rig.motorConfig().pulseTimesUs = windowPulsesUs(101);
    m.measure();
    std::vector<Frame> shown;
    for (const Frame& f : m.frames) {
        if (f.label == propLabel && (shown.empty() || shown.back().values != f.values)) {
            shown.push_back(f);
        }
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].values, "3030|50|432|  99");
    EXPECT_EQ(shown[2].values, " | | | ");
    EXPECT_EQ(shown[2].timeMs - shown[1].timeMs, 4000u);
    m.expectIdleAgain(true);
}

TEST(RevCounter, NoPulseCountsDownAndHoldsTheController) {
    Measurement m;
    m.measure();
    std::vector<std::string> countdown;
    std::uint64_t waitStartMs = 0;
    for (const Frame& f : m.frames) {
        if (f.label == "Sek. Restzeit") {
            waitStartMs = countdown.empty() ? f.timeMs : waitStartMs;
            countdown.push_back(f.values.substr(f.values.rfind('|') + 1));
        }
    }
    EXPECT_EQ(countdown,
              (std::vector<std::string>{"", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"}));
    EXPECT_GE(m.frames.back().timeMs - waitStartMs, 10'000u);
    EXPECT_LT(m.frames.back().timeMs - waitStartMs, 10'010u);
    m.expectIdleAgain(false);
}

TEST(RevCounter, StopRequestEndsTheWaitOrTheMeasurementTheUsualWay) {
    for (bool motorRuns : {false, true}) {
        SCOPED_TRACE(motorRuns ? "measuring" : "waiting");
        Measurement m;
        m.r.rig.motorConfig().pulseRateHz = motorRuns ? 50 : 0;
        m.r.rig.motorConfig().runMs = 60'000;
        std::uint64_t stopAtMs = 0;  // 2.5 s into the wait, or once values show
        m.r.host().stopPredicate = [&](ui::Dialog& d) {
            if (stopAtMs == 0 && (!motorRuns || d.text(RatePerMinuteField).size() > 1)) {
                stopAtMs = m.nowMs() + (motorRuns ? 0 : 2'500);
            }
            return stopAtMs != 0 && m.nowMs() >= stopAtMs;
        };
        m.measure();
        ASSERT_NE(stopAtMs, 0u);
        EXPECT_LT(m.frames.back().timeMs - stopAtMs, 5u);
        m.expectIdleAgain(motorRuns);
    }
}

// An empty message: the dialog opens; bit 0 of the lock byte plays no part.
TEST(RevCounter, OpeningChecksInOrder) {
    using enum sim::DeviceKind;
    for (auto [version, lockByte, device, message] :
         {std::tuple{0x1010, 0xFD, ThisController, "Error!: Verfügbar ab V10.11"},
          {0x1011, 0xFD, OtherKind, "ERROR!: angeschlossenes Gerät ist kein ZEK-Micro!"},
          {0x1011, 0xFE, ThisController, "Error!: nur mögl. wenn Testprogramm gesperrt"},
          {0x1011, 0xFC, ThisController, ""}}) {
        SCOPED_TRACE(message);
        SubdialogRig r;
        r.image.controllerVersion = version;
        r.memory()[13] = lockByte;
        r.rig.controllerConfig().kind = device;
        r.open(settings::openRevCounter);
        EXPECT_EQ(r.messages(), message);
        EXPECT_EQ(r.lastDialog.has_value(), !*message);
    }
}

// The adapter pulled while the dialog is open: "Motor-Freigabe" says so and closes it.
TEST(RevCounter, ReleaseWithoutAdapterClosesTheDialog) {
    SubdialogRig r;
    r.memory()[13] = 0xFC;
    r.open(settings::openRevCounter, [&](ui::Dialog&, const Command& command) {
        r.rig.serialConfig().loopBack = sim::LoopBack::Missing;
        command(ReleaseMotorButton);
    });
    EXPECT_EQ(r.messages(), "Error!: adapter?");
    EXPECT_TRUE(r.lastDialog && r.lastDialog->ended() && r.lastDialog->result() == 1);
}

using namespace lock_ids;

// After the script: the two lock boxes ticked ("x"), the boxes and "Schreiben" usable ("+"),
// the lock byte in the controller and in the settings, the version field, the status field
// as the script ended, and the beeps.
std::string lockState(SubdialogRig& r, const std::string& status) {
    const ui::Dialog& d = *r.lastDialog;
    char line[96];
    std::snprintf(line, sizeof line, "%c%c%c%c %02X/%02X [%s] [%s] %d",
                  d.checked(RcSetupLockCheck) ? 'x' : '-',
                  d.checked(TestProgramLockCheck) ? 'x' : '-',
                  d.enabled(RcSetupLockCheck) && d.enabled(TestProgramLockCheck) ? '+' : '-',
                  d.enabled(WriteButton) ? '+' : '-', r.memory()[13], r.lockByte,
                  r.mainDialog.text(ids::VersionField).c_str(), status.c_str(), r.host().beeps);
    return line;
}

TEST(LockFunctions, ReadAndWrite) {
    const Script read = steps({{ReadButton}});
    const Script write = [](ui::Dialog& dialog, const Command& command) {
        dialog.setChecked(RcSetupLockCheck, false);
        dialog.setChecked(TestProgramLockCheck, true);
        command(WriteButton);
    };
    const Script readWrite = [&](ui::Dialog& d, const Command& c) { read(d, c), write(d, c); };
    const std::string unconfirmed = "Error!: Schreibfehler!\nError!: Schreibfehler!";
    const std::string level = "ERROR!: Funktion bei dieser Controllerversion nicht verfügbar!";
    const std::string family = "ERROR!: Bitte kompatibles Setup-Programm downloaden!";
    const struct {
        std::vector<std::pair<int, std::uint8_t>> memory;
        bool writesStick;
        Script script;
        const char* state;
        std::string messages = "";
    } cases[] = {
        {{{13, 0xFD}}, true, read, "-x++ FD/FD [V 10.11-1F] [ok] 1"},
        {{{13, 0x5F}}, true, readWrite, "-x++ 5D/5D [V 10.11-1F] [ok] 2"},
        // Before a read the lock byte of an earlier opening must not reach the controller.
        {{{13, 0x5F}}, true, write, "-x-- 5F/00 [] [ ] 0"},
        {{{13, 0xFF}}, false, readWrite, "-x++ FF/FD [V 10.11-1F] [ ] 1", unconfirmed},
        // The level check comes after the version field changed.
        {{{32, 0x30}, {33, 0x02}}, true, read, "---- FD/00 [V 30.02-1F] [ ] 0", level},
        // From then on every opening asks for a read (see Openings).
        {{{32, 0x20}, {33, 0x11}}, true, read, "---- FD/00 [] [ ] 0", family},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        SubdialogRig r;
        for (const auto& [address, value] : c.memory) {
            r.memory()[address] = value;
        }
        r.rig.controllerConfig().setupWritesStick = c.writesStick;
        std::string status;
        r.open(settings::openLockFunctions, [&](ui::Dialog& dialog, const Command& command) {
            c.script(dialog, command);
            status = r.mainDialog.text(ids::StatusField);
        });
        EXPECT_EQ(lockState(r, status), c.state);
        EXPECT_EQ(r.messages(), c.messages);
        EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");  // one blank back on closing
    }
    // A controller of another kind at the write gets "no connection", and keeps its byte.
    SubdialogRig r;
    r.memory()[13] = 0xFD;
    r.open(settings::openLockFunctions, [&](ui::Dialog& dialog, const Command& command) {
        read(dialog, command);
        r.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
        write(dialog, command);
    });
    EXPECT_EQ(r.messages(), "ERROR!: Keine Verbindung!");
    EXPECT_EQ(r.memory()[13], 0xFD);
}

// Never read, or (the same to them) an incompatible family read.
TEST(Openings, NeedReadValues) {
    for (auto opening :
         {settings::openLockFunctions, settings::openRpmControl, settings::openRevCounter}) {
        SubdialogRig unread;
        unread.image.controllerVersion = settings::versionInvalid;
        unread.open(opening);
        EXPECT_EQ(unread.messages(), "Error!: Zuerst Werte einlesen!");
        EXPECT_EQ(unread.lastOwner(), noOwner);
        EXPECT_FALSE(unread.lastDialog);
    }
}

}  // namespace
}  // namespace subdialogs_test
