// The released motor's pulses on DATA-IN: how many, when, and when they stop.
#include <gtest/gtest.h>

#include <cmath>

#include "bit_banger.h"

namespace sim {
namespace {

using testing::BitBanger;

// Counts falling DATA-IN edges between now and now + windowMs by polling, as a PC would.
int countPulses(TestRig& rig, adapter::LineAccess& lines, std::uint64_t windowMs) {
    const std::uint64_t end = rig.clock().nowNs() + windowMs * 1'000'000;
    int pulses = 0;
    bool high = false;
    while (rig.clock().nowNs() < end) {
        const bool now = lines.readDataIn() != 0;
        pulses += (high && !now) ? 1 : 0;
        high = now;
    }
    return pulses;
}

TEST(MotorPulses, ReleaseStartPutsPulsesOnDataInAtTheConfiguredRate) {
    TestRig rig;
    rig.motorConfig().pulseRateHz = 50.5;
    rig.motorConfig().runMs = 3000;
    BitBanger pc(rig);
    pc.start(/*clockHigh=*/true);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::MotorReleased);
    EXPECT_EQ(countPulses(rig, pc.lines(), 2000), 101);
    // The run ends about a second later, and then DATA-IN stays low.
    EXPECT_GT(countPulses(rig, pc.lines(), 2000), 40);
    EXPECT_EQ(countPulses(rig, pc.lines(), 2000), 0);
}

TEST(MotorPulses, ListedPulseTimesAndReset) {
    TestRig rig;
    rig.motorConfig().pulseTimesUs = {30'000, 10'000, 20'000, 1'500'000};
    rig.motorConfig().pulseWidthUs = 500;
    BitBanger pc(rig);
    pc.lines().setReset(false);
    pc.lines().setClock(true);
    pc.lines().setReset(true);
    EXPECT_EQ(countPulses(rig, pc.lines(), 100), 3);
    // RESET low holds the controller: the later pulse never comes.
    pc.lines().setReset(false);
    EXPECT_EQ(countPulses(rig, pc.lines(), 2000), 0);
}

TEST(MotorPulses, StandardStartDoesNotReleaseTheMotor) {
    TestRig rig;
    BitBanger pc(rig);
    pc.start(/*clockHigh=*/false);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::Firmware);
    EXPECT_EQ(countPulses(rig, pc.lines(), 500), 0);
}

TEST(MotorPulses, NonsenseRatesProduceNoPulses) {
    for (double rate : {0.0, -5.0, 1e-30, std::nan("")}) {
        TestRig rig;
        rig.motorConfig().pulseRateHz = rate;
        BitBanger pc(rig);
        pc.start(/*clockHigh=*/true);
        EXPECT_LE(countPulses(rig, pc.lines(), 100), 1) << rate;
    }
    // Absurdly fast rates are held to a rate the poll can still follow in finite time.
    TestRig rig;
    rig.motorConfig().pulseRateHz = 1e15;
    rig.motorConfig().runMs = 10;
    BitBanger pc(rig);
    pc.start(/*clockHigh=*/true);
    pc.waitMs(20);
    pc.lines().readDataIn();
    EXPECT_LE(rig.trace().events().size(), 2u * 10'000u + 16u);
}

}  // namespace
}  // namespace sim
