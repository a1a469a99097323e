#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"

namespace adapter {
namespace {

using adapter::testing::Recorder;
using adapter::testing::RecordingRig;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint64_t nsPerMs = 1'000'000;

TEST(DelayMs, ZeroReturnsAtOnce) {
    RecordingRig rig;
    delayMs(rig.ctx, 0);
    EXPECT_THAT(rig.trace(), IsEmpty());
    EXPECT_EQ(rig.recorder.clock.nowNs(), 0u);
}

TEST(DelayMs, WaitsAcrossTheWrapOfTheMillisecondTicks) {
    RecordingRig rig;
    rig.recorder.clock.setNowNs((0x1'0000'0000ULL - 3) * nsPerMs + 400'000);
    std::uint32_t before = rig.recorder.clock.tickCount();
    delayMs(rig.ctx, 10);
    EXPECT_EQ(rig.recorder.clock.tickCount() - before, 10u);
    EXPECT_LT(rig.recorder.clock.tickCount(), before);  // the counter wrapped
    EXPECT_THAT(rig.trace(), ElementsAre("wait 10 ms"));
}

TEST(DelayMs, ADeadlineBeyondTheClocksRangeIsNotInThePast) {
    RecordingRig rig;
    rig.recorder.clock.setNowNs(UINT64_MAX - 1000);
    delayMs(rig.ctx, 1);
    EXPECT_EQ(rig.recorder.clock.nowNs(), UINT64_MAX);
}

TEST(DelayMs, NeverEndsEarlyOnTheRealClock) {
    MonotonicClock clock;
    for (std::uint32_t ms : {1u, 3u, 12u}) {
        auto start = std::chrono::steady_clock::now();
        delayMs(clock, ms);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms));
    }
}

TEST(BitDelay, IsFiveBatchesOfReadsAndZeroCountsAsOne) {
    RecordingRig rig;
    rig.selectParallel();
    bitDelay(rig.ctx, 1);
    EXPECT_EQ(rig.state.bitDelayCount, 1);  // 0 before any calibration
    EXPECT_THAT(rig.trace(), ElementsAre("read word x5"));
    rig.recorder.clear();
    bitDelay(rig.ctx, 0);
    bitDelay(rig.ctx, -7);
    EXPECT_EQ(rig.recorder.count("read word"), 10);
    rig.recorder.clear();
    rig.state.bitDelayCount = 3;
    bitDelay(rig.ctx, 4);
    EXPECT_EQ(rig.recorder.count("read word"), 4 * 5 * 3);
}

TEST(BitDelay, ReadsTheBackEndThatPortKindSelects) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.recorder.clear();
    rig.recorder.idleDataIn = 1;
    bitDelay(rig.ctx, 1);
    EXPECT_THAT(rig.trace(), ElementsAre("read DATA-IN x5"));
    EXPECT_EQ(rig.state.modemStatus, modemCtsOn);
}

// Moves from 0 to 50 ms once the port has been read a given number of times.
class StepClock final : public Clock {
  public:
    StepClock(Recorder& recorder, int readsBeforeStep)
        : m_recorder(recorder), m_readsBeforeStep(readsBeforeStep) {}
    std::uint64_t nowNs() override {
        return m_recorder.operations >= m_readsBeforeStep ? 50 * nsPerMs : 0;
    }
    void waitUntilNs(std::uint64_t) override {}

  private:
    Recorder& m_recorder;
    int m_readsBeforeStep;
};

int calibrateWithCount(int reads) {
    RecordingRig rig;
    rig.selectParallel();
    // The read after the last tick sample is counted too.
    StepClock clock(rig.recorder, reads - 1);
    LinkContext ctx{rig.port,        rig.state,  rig.messageText, clock,
                    rig.serialPorts, rig.portIo, rig.host,        nullptr};
    calibrateBitDelay(ctx);
    EXPECT_EQ(rig.recorder.operations, reads);
    return rig.state.bitDelayCount;
}

TEST(CalibrateBitDelay, DividesTheReadsOfFiftyMillisecondsBy37000) {
    EXPECT_EQ(calibrateWithCount(2), 1);
    EXPECT_EQ(calibrateWithCount(36999), 1);
    EXPECT_EQ(calibrateWithCount(37000), 2);
    EXPECT_EQ(calibrateWithCount(73999), 2);
    EXPECT_EQ(calibrateWithCount(74000), 3);
}

TEST(CalibrateBitDelay, MeasuresTheSelectedPortOnTheRecordingClock) {
    RecordingRig rig;
    rig.selectParallel();
    rig.recorder.operationCostNs = 1000;  // 50001 reads in 50 ms
    calibrateBitDelay(rig.ctx);
    EXPECT_EQ(rig.recorder.count("read word"), 50001);
    EXPECT_EQ(rig.state.bitDelayCount, 2);
}

TEST(CalibrateBitDelay, EndsEvenWhenTheClockStandsStill) {
    RecordingRig rig;  // serial, no port open: reads cost no time
    calibrateBitDelay(rig.ctx);
    EXPECT_GE(rig.state.bitDelayCount, 1);
}

}  // namespace
}  // namespace adapter
