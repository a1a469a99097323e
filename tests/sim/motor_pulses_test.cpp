// The released motor's pulses on DATA-IN: how many, when, and when they stop.
#include <gtest/gtest.h>

#include <cmath>

#include "bit_banger.h"

namespace sim {
namespace {

// Falling DATA-IN edges in the next windowMs, polled as a PC would.
int countPulses(TestRig& rig, testing::BitBanger& pc, std::uint64_t windowMs) {
    const std::uint64_t end = rig.clock().nowNs() + windowMs * 1'000'000;
    int pulses = 0;
    bool high = false;
    while (rig.clock().nowNs() < end) {
        const bool now = pc.lines().readDataIn() != 0;
        pulses += (high && !now) ? 1 : 0;
        high = now;
    }
    return pulses;
}

TEST(MotorPulses, ReleaseStartPulsesAtTheRateUntilTheRunEnds) {
    TestRig rig;
    rig.motorConfig().pulseRateHz = 50.5;
    rig.motorConfig().runMs = 3000;
    testing::BitBanger pc(rig);
    pc.start(/*clockHigh=*/true);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::MotorReleased);
    EXPECT_EQ(countPulses(rig, pc, 2000), 101);
    EXPECT_GT(countPulses(rig, pc, 2000), 40);
    EXPECT_EQ(countPulses(rig, pc, 2000), 0);
}

TEST(MotorPulses, ListedPulseTimesStopWhileHeldInReset) {
    TestRig rig;
    rig.motorConfig().pulseTimesUs = {30'000, 10'000, 20'000, 1'500'000};
    rig.motorConfig().pulseWidthUs = 500;
    testing::BitBanger pc(rig);
    pc.lines().setReset(false);
    pc.lines().setClock(true);
    pc.lines().setReset(true);
    EXPECT_EQ(countPulses(rig, pc, 100), 3);
    pc.lines().setReset(false);
    EXPECT_EQ(countPulses(rig, pc, 2000), 0);
}

TEST(MotorPulses, NonsenseRatesProduceNoPulsesAndAbsurdOnesAreBounded) {
    for (double rate : {-5.0, 1e-30, std::nan(""), 1e15}) {
        SCOPED_TRACE(rate);
        TestRig rig;
        const bool absurd = rate > 1e6;
        rig.motorConfig().pulseRateHz = rate;
        rig.motorConfig().runMs = absurd ? 10 : 6000;
        testing::BitBanger pc(rig);
        pc.start(/*clockHigh=*/true);
        if (!absurd) {
            EXPECT_LE(countPulses(rig, pc, 100), 1);
        } else {  // held to a rate the poll can follow in finite time
            pc.waitMs(20);
            pc.lines().readDataIn();
            EXPECT_LE(rig.trace().events().size(), 2u * 10'000u + 16u);
        }
    }
}

}  // namespace
}  // namespace sim
