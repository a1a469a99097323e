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
using Command = SubdialogRig::Command;

constexpr std::uint64_t nsPerMs = 1'000'000;
constexpr const char* propLabel = "Prop-Drehzahl,  U/min";
constexpr const char* remainingLabel = "Sek. Restzeit";

// One pulse at 5 ms to end the wait, then perWindow pulses well inside each of the
// following windows (they start on the first tick after that pulse).
std::vector<std::uint64_t> windowPulsesUs(int perWindow, int windows) {
    std::vector<std::uint64_t> times{5'000};
    for (int window = 0; window < windows; ++window) {
        for (int i = 0; i < perWindow; ++i) {
            times.push_back(15'000 + 2'000'000ull * window + 1'900'000ull * i / perWindow);
        }
    }
    return times;
}

std::string motorFile(const std::string& fields) {
    std::string bytes = "COM2";
    bytes.resize(256, '\0');
    return bytes + fields;
}

struct Frame {
    std::uint64_t timeMs;
    std::string label;
    std::string values;  // 1215|1212|1219|1218
};

struct RevCounterTest : ::testing::Test {
    SubdialogRig r;
    std::vector<Frame> frames;

    RevCounterTest() {
        r.memory()[13] = 0xFD;
        r.rig.motorConfig().pulseRateHz = 0;
        // Ten reads still fall in every 200 µs pulse; fewer reads keep the tests quick.
        r.rig.serialConfig().opCostNs = 20'000;
        r.host().onRepaint = [this](ui::Dialog& dialog) {
            if (dialog.id() != rev_ids::Dialog) {
                return;
            }
            frames.push_back({r.rig.clock().nowNs() / nsPerMs, dialog.text(PropSpeedLabel),
                              dialog.text(RatePerMinuteField) + "|" + dialog.text(FrequencyField) +
                                  "|" + dialog.text(MotorSpeedField) + "|" +
                                  dialog.text(PropSpeedField)});
        };
    }

    void measure() {
        r.whenOpen([](ui::Dialog&, const Command& command) { command(ReleaseMotorButton); });
        settings::openRevCounter(r.ctx);
    }
    std::vector<std::string> shownValues() const {
        std::vector<std::string> values;
        for (const Frame& frame : frames) {
            if (frame.label == propLabel && (values.empty() || values.back() != frame.values)) {
                values.push_back(frame.values);
            }
        }
        return values;
    }
    // After a measurement all four fields are blanked; after the wait only the one that
    // showed the countdown.
    void expectIdleAgain(bool measured = true) {
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

TEST_F(RevCounterTest, FourteenPolesThroughAGearbox) {
    r.directory.write(configName, motorFile(std::string("14\0\0"
                                                        "4.33",
                                                        8)));
    r.rig.motorConfig().pulseTimesUs = windowPulsesUs(101, 1);
    measure();
    EXPECT_EQ(shownValues().at(1), "3030|50|432|  99");
    expectIdleAgain();
}

TEST_F(RevCounterTest, ValuesStayUntilTheFirstEmptyWindow) {
    r.rig.motorConfig().pulseTimesUs = windowPulsesUs(100, 2);
    measure();
    const std::vector<std::string> values = shownValues();
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[1], "3000|50|3000|3000");
    EXPECT_EQ(values[2], " | | | ");
    // Two full windows showed values; the blanking came one window after the second.
    std::vector<std::uint64_t> shown;
    for (const Frame& frame : frames) {
        if (frame.label == propLabel && frame.values != values[0]) {
            shown.push_back(frame.timeMs);
        }
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1] - shown[0], 2000u);
    EXPECT_EQ(shown[2] - shown[1], 2000u);
    expectIdleAgain();
}

TEST_F(RevCounterTest, NoPulseCountsDownAndHoldsTheController) {
    measure();
    std::vector<std::string> countdown;
    std::uint64_t waitStartMs = 0;
    for (const Frame& frame : frames) {
        if (frame.label == remainingLabel) {
            waitStartMs = countdown.empty() ? frame.timeMs : waitStartMs;
            countdown.push_back(frame.values.substr(frame.values.rfind('|') + 1));
        }
    }
    const std::vector<std::string> expected{"", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"};
    EXPECT_EQ(countdown, expected);
    EXPECT_GE(frames.back().timeMs - waitStartMs, 10'000u);
    EXPECT_LT(frames.back().timeMs - waitStartMs, 10'010u);
    expectIdleAgain(false);
}

TEST_F(RevCounterTest, StopDuringTheWaitEndsItTheUsualWay) {
    std::uint64_t stopAtNs = 0;
    r.host().stopPredicate = [&](ui::Dialog&) {
        if (stopAtNs == 0) {
            stopAtNs = r.rig.clock().nowNs() + 2'500 * nsPerMs;
        }
        return r.rig.clock().nowNs() >= stopAtNs;
    };
    measure();
    EXPECT_LT(frames.back().timeMs - stopAtNs / nsPerMs, 5u);
    expectIdleAgain(false);
}

TEST_F(RevCounterTest, StopDuringTheMeasurementEndsItTheUsualWay) {
    r.rig.motorConfig().pulseRateHz = 50;
    r.rig.motorConfig().runMs = 60'000;
    bool valuesShown = false;
    auto record = r.host().onRepaint;
    r.host().onRepaint = [&](ui::Dialog& dialog) {
        record(dialog);
        valuesShown = valuesShown || dialog.text(RatePerMinuteField).size() > 1;
    };
    r.host().stopPredicate = [&](ui::Dialog&) { return valuesShown; };
    measure();
    ASSERT_TRUE(valuesShown);
    EXPECT_LT(frames.back().timeMs - frames.front().timeMs, 5'000u);
    expectIdleAgain();
}

TEST_F(RevCounterTest, OpeningChecksInOrder) {
    struct Case {
        std::int32_t version;
        std::uint8_t lockByte;
        sim::DeviceKind device;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {50000, 0xFD, sim::DeviceKind::ThisController, "Zuerst Werte einlesen!", "Error!"},
        {0x1010, 0xFD, sim::DeviceKind::ThisController, "Verfügbar ab V10.11", "Error!"},
        {0x1011, 0xFD, sim::DeviceKind::OtherKind, "angeschlossenes Gerät ist kein ZEK-Micro!",
         "ERROR!"},
        {0x1011, 0xFD, sim::DeviceKind::NothingAttached, "Keine Verbindung!", "ERROR!"},
        // Bit 1 set: the test program is free; bit 0 plays no part.
        {0x1011, 0xFE, sim::DeviceKind::ThisController, "nur mögl. wenn Testprogramm gesperrt",
         "Error!"},
        {0x1011, 0xFF, sim::DeviceKind::ThisController, "nur mögl. wenn Testprogramm gesperrt",
         "Error!"},
    };
    for (const Case& c : cases) {
        SubdialogRig rig;
        rig.image.controllerVersion = c.version;
        rig.memory()[13] = c.lockByte;
        rig.rig.controllerConfig().kind = c.device;
        rig.whenOpen([](ui::Dialog&, const Command&) {});
        settings::openRevCounter(rig.ctx);
        ASSERT_EQ(rig.host().messages.size(), 1u) << c.text;
        EXPECT_EQ(rig.host().lastText(), c.text);
        EXPECT_EQ(rig.host().lastCaption(), c.caption);
        EXPECT_EQ(rig.host().modalScripts.size(), 1u) << "opened despite " << c.text;
    }
    for (std::uint8_t lockByte : {0xFD, 0xFC}) {
        SubdialogRig rig;
        rig.memory()[13] = lockByte;
        rig.whenOpen([](ui::Dialog&, const Command&) {});
        settings::openRevCounter(rig.ctx);
        EXPECT_TRUE(rig.host().messages.empty());
        EXPECT_TRUE(rig.host().modalScripts.empty());
        EXPECT_EQ(rig.lockByte, lockByte);
    }
}

TEST_F(RevCounterTest, MissingAdapterAtOpeningBlanksTheStatusField) {
    r.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    r.rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
    r.mainDialog.setText(ids::StatusField, "OK");
    measure();
    EXPECT_EQ(r.host().lastText(), "No Adaptor found at COM2\n");
    EXPECT_EQ(r.host().lastCaption(), "Error");
    EXPECT_EQ(r.host().messages.back().ownerId, ids::MainDialog);
    EXPECT_EQ(r.mainDialog.text(ids::StatusField), " ");
    EXPECT_FALSE(r.mainDialog.enabled(ids::StatusField));
}

TEST_F(RevCounterTest, ReleaseWithoutASerialAdapterClosesTheDialog) {
    bool endedByRelease = false;
    r.whenOpen([&](ui::Dialog& dialog, const Command& command) {
        r.rig.serialConfig().loopBack = sim::LoopBack::Missing;
        command(ReleaseMotorButton);
        endedByRelease = dialog.ended();
    });
    settings::openRevCounter(r.ctx);
    EXPECT_TRUE(endedByRelease);
    EXPECT_EQ(r.host().lastText(), "adapter?");
    EXPECT_EQ(r.host().lastCaption(), "Error!");
}

TEST_F(RevCounterTest, ParallelAdapterIsToldRatherThanKeptWaiting) {
    // The start sequences drive only the serial lines: start the controller by hand.
    r.rig.selectParallel();
    adapter::setReset(r.rig.link(), false);
    adapter::delayMs(r.rig.link(), 100);
    adapter::setReset(r.rig.link(), true);
    adapter::delayMs(r.rig.link(), 500);
    bool endedByRelease = false;
    r.whenOpen([&](ui::Dialog& dialog, const Command& command) {
        command(ReleaseMotorButton);
        endedByRelease = dialog.ended();
    });
    const std::uint64_t startMs = r.rig.clock().nowNs() / nsPerMs;
    settings::openRevCounter(r.ctx);
    EXPECT_TRUE(endedByRelease);
    EXPECT_EQ(r.host().lastText(), "adapter?");
    EXPECT_LT(r.rig.clock().nowNs() / nsPerMs - startMs, 2'000u);
}

}  // namespace
}  // namespace subdialogs_test
