// The released motor's pulses on DATA-IN: how many, when, and when they stop.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/test_rig.h"

namespace sim {
namespace {

// The serial port opened, so the controller is held in reset, with CLOCK high.
struct MotorBench {
    MotorBench() {
        adapter::SerialOpenResult result{};
        lines = rig.serialPorts().open("COM2", result);
        lines->setClock(true);
    }
    // RESET raised with CLOCK high: the motor is released.
    void release() {
        rig.clock().advanceNs(100'000'000);
        lines->setReset(true);
        rig.clock().advanceNs(1'000'000);
    }
    // Falling DATA-IN edges in the next windowMs, polled as a PC would.
    int countPulses(std::uint64_t windowMs) {
        const std::uint64_t end = rig.clock().nowNs() + windowMs * 1'000'000;
        int pulses = 0;
        bool high = false;
        while (rig.clock().nowNs() < end) {
            const bool now = lines->readDataIn() != 0;
            pulses += (high && !now) ? 1 : 0;
            high = now;
        }
        return pulses;
    }
    TestRig rig;
    std::unique_ptr<adapter::LineAccess> lines;
};

TEST(MotorPulses, ReleaseStartPulsesAtTheRateUntilTheRunEnds) {
    MotorBench bench;
    bench.rig.motorConfig().pulseRateHz = 50.5;
    bench.rig.motorConfig().runMs = 3000;
    bench.release();
    EXPECT_EQ(bench.rig.controller().mode(), ControllerMode::MotorReleased);
    EXPECT_EQ(bench.countPulses(2000), 101);
    EXPECT_GT(bench.countPulses(2000), 40);
    EXPECT_EQ(bench.countPulses(2000), 0);
}

TEST(MotorPulses, ListedPulseTimesStopWhileHeldInReset) {
    MotorBench bench;
    bench.rig.motorConfig().pulseTimesUs = {30'000, 10'000, 20'000, 1'500'000};
    bench.rig.motorConfig().pulseWidthUs = 500;
    bench.release();
    EXPECT_EQ(bench.countPulses(100), 3);
    bench.lines->setReset(false);
    EXPECT_EQ(bench.countPulses(2000), 0);
}

TEST(MotorPulses, NonsenseRatesProduceNoPulsesAndAbsurdOnesAreBounded) {
    for (double rate : {-5.0, 1e-30, std::nan(""), 1e15}) {
        SCOPED_TRACE(rate);
        MotorBench bench;
        const bool absurd = rate > 1e6;
        bench.rig.motorConfig().pulseRateHz = rate;
        bench.rig.motorConfig().runMs = absurd ? 10 : 6000;
        bench.release();
        if (!absurd) {
            EXPECT_LE(bench.countPulses(100), 1);
        } else {  // held to a rate the poll can follow in finite time
            bench.rig.clock().advanceNs(20'000'000);
            bench.lines->readDataIn();
            EXPECT_LE(bench.rig.trace().events().size(), 2u * 10'000u + 16u);
        }
    }
}

}  // namespace
}  // namespace sim
