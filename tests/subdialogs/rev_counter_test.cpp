// "Drehzahl messen" end to end: the virtual controller's motor pulses counted in
// 2-second windows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "resources/rev_counter_dialog.h"
#include "subdialog_rig.h"

namespace subdialogs_test {
namespace {

using namespace rev_ids;

constexpr std::uint64_t nsPerMs = 1'000'000;
constexpr const char* propLabel = "Prop-Drehzahl,  U/min";

// One pulse at 5 ms ends the wait; then perWindow pulses well inside each following window.
std::vector<std::uint64_t> windowPulsesUs(int perWindow, int windows) {
    std::vector<std::uint64_t> times{5'000};
    for (int window = 0; window < windows; ++window) {
        for (int i = 0; i < perWindow; ++i) {
            times.push_back(15'000 + 2'000'000ull * window + 1'900'000ull * i / perWindow);
        }
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
    std::uint64_t nowMs() { return r.rig.clock().nowNs() / nsPerMs; }
    void measure() { r.open(settings::openRevCounter, steps({{ReleaseMotorButton}})); }
    // Each change of the values shown under the speed label.
    std::vector<Frame> shownValues() const {
        std::vector<Frame> shown;
        for (const Frame& f : frames) {
            if (f.label == propLabel && (shown.empty() || shown.back().values != f.values)) {
                shown.push_back(f);
            }
        }
        return shown;
    }
    // After a measurement all four fields are blanked; after the wait only the countdown's.
    void expectIdleAgain(bool measured) {
        ASSERT_TRUE(r.lastDialog);
        EXPECT_EQ(r.lastDialog->text(PropSpeedLabel), propLabel);
        for (ui::ControlId id : {ReleaseMotorButton, EndButton, SaveMotorDataButton}) {
            EXPECT_TRUE(r.lastDialog->enabled(id)) << id;
        }
        EXPECT_EQ(r.lastDialog->text(PropSpeedField), " ");
        for (ui::ControlId id : {RatePerMinuteField, FrequencyField, MotorSpeedField}) {
            EXPECT_EQ(r.lastDialog->text(id), measured ? " " : "") << id;
        }
        EXPECT_EQ(r.rig.controller().mode(), sim::ControllerMode::InReset);
        EXPECT_EQ(r.host().beeps, 1);
    }
};

TEST(RevCounter, PulsesPerWindowGiveTheSpeeds) {
    struct Case {
        const char *poles, *ratio;
        int pulses;
        const char* values;
    };
    const Case cases[] = {{"14", "4.33", 101, "3030|50|432|  99"},
                          {" 2", "1.00", 100, "3000|50|3000|3000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        Measurement m;
        m.r.directory.write(configName, motorConfig(c.poles, c.ratio));
        m.r.rig.motorConfig().pulseTimesUs = windowPulsesUs(c.pulses, 2);
        m.measure();
        // Kept through the second window, blanked one window after it.
        const std::vector<Frame> shown = m.shownValues();
        ASSERT_EQ(shown.size(), 3u);
        EXPECT_EQ(shown[1].values, c.values);
        EXPECT_EQ(shown[2].values, " | | | ");
        EXPECT_EQ(shown[2].timeMs - shown[1].timeMs, 4000u);
        m.expectIdleAgain(true);
    }
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
    const std::vector<std::string> expected{"", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"};
    EXPECT_EQ(countdown, expected);
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

TEST(RevCounter, OpeningChecksInOrder) {
    using enum sim::DeviceKind;
    struct Case {
        std::int32_t version;
        std::uint8_t lockByte;
        sim::DeviceKind device;
        const char* message;  // empty: opens
    };
    const Case cases[] = {
        {0x1010, 0xFD, ThisController, "Error!: Verfügbar ab V10.11"},
        {0x1011, 0xFD, OtherKind, "ERROR!: angeschlossenes Gerät ist kein ZEK-Micro!"},
        {0x1011, 0xFD, NothingAttached, "ERROR!: Keine Verbindung!"},
        {0x1011, 0xFE, ThisController, "Error!: nur mögl. wenn Testprogramm gesperrt"},
        {0x1011, 0xFD, ThisController, ""},
        {0x1011, 0xFC, ThisController, ""},  // bit 0 plays no part
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SubdialogRig r;
        r.image.controllerVersion = c.version;
        r.memory()[13] = c.lockByte;
        r.rig.controllerConfig().kind = c.device;
        r.open(settings::openRevCounter);
        EXPECT_EQ(r.messages(), c.message);
        EXPECT_EQ(r.host().modalScripts.size(), *c.message ? 1u : 0u) << "opened or not";
        if (!*c.message) {
            EXPECT_EQ(r.lockByte, c.lockByte);
        }
    }
}

// Without a serial adapter at "Motor freigeben" the dialog says so and closes at once.
TEST(RevCounter, ReleaseWithoutASerialAdapterClosesTheDialog) {
    for (bool parallel : {false, true}) {
        SCOPED_TRACE(parallel ? "parallel" : "serial adapter gone");
        Measurement m;
        sim::TestRig& rig = m.r.rig;
        if (parallel) {  // the start sequences drive only the serial lines: start by hand
            rig.selectParallel();
            adapter::setReset(rig.link(), false);
            adapter::delayMs(rig.link(), 100);
            adapter::setReset(rig.link(), true);
            adapter::delayMs(rig.link(), 500);
        }
        bool endedByRelease = false;
        const std::uint64_t startMs = m.nowMs();
        m.r.open(settings::openRevCounter, [&](ui::Dialog& dialog, const Command& command) {
            if (!parallel) {
                rig.serialConfig().loopBack = sim::LoopBack::Missing;
            }
            command(ReleaseMotorButton);
            endedByRelease = dialog.ended();
        });
        EXPECT_TRUE(endedByRelease);
        EXPECT_EQ(m.r.messages(), "Error!: adapter?");
        EXPECT_LT(m.nowMs() - startMs, 2'000u);
    }
}

}  // namespace
}  // namespace subdialogs_test
