#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "adapter/adapter.h"
#include "test_rig.h"

namespace adapter {
namespace {

using namespace adapter::testing;

constexpr std::uint64_t nsPerMs = 1'000'000;

TEST(DelayMs, ZeroTheTickWrapTheEndOfTheClocksRangeAndTheRealClock) {
    RecordingRig rig;
    auto& clock = rig.recorder.clock;
    delayMs(rig.ctx, 0);
    EXPECT_EQ(clock.nowNs(), 0u);
    clock.setNowNs((0x1'0000'0000ULL - 3) * nsPerMs + 400'000);
    const std::uint32_t before = clock.tickCount();
    delayMs(rig.ctx, 10);
    EXPECT_EQ(clock.tickCount() - before, 10u);
    EXPECT_LT(clock.tickCount(), before);  // the counter wrapped
    EXPECT_EQ(rig.trace(), std::vector<std::string>{"wait 10 ms"});
    clock.setNowNs(UINT64_MAX - 1000);  // a deadline beyond the range is not in the past
    delayMs(rig.ctx, 1);
    EXPECT_EQ(clock.nowNs(), UINT64_MAX);

    MonotonicClock real;  // never ends early
    for (std::uint32_t ms : {1u, 3u}) {
        const auto start = std::chrono::steady_clock::now();
        delayMs(real, ms);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms));
    }
}

// Reads slower than a bit delay unit are measured by the first delay; later ones wait.
TEST(BitDelay, ASlowPortWaitsOnTheClockAfterItsFirstDelay) {
    OpenRig rig;
    rig.recorder.operationCostNs = 1'000'000;
    bitDelay(rig.ctx, 1);
    bitDelay(rig.ctx, 2);
    EXPECT_EQ(rig.steps(), "read DATA-IN x5, wait 20000 ns");
}

// The host's keep-alive comes within every 100 ms of a long wait and of a run of line
// operations on either adapter, and adds nothing to what the lines and the clock see.
TEST(KeepAlive, ServesLongWaitsAndLineRunsWithoutChangingThem) {
    for (bool parallel : {false, true}) {
        OpenRig rig(parallel);
        rig.recorder.operationCostNs = 700'000;
        std::vector<std::uint64_t> at{0};
        rig.host.onKeepAlive = [&] { at.push_back(rig.recorder.clock.nowNs()); };
        delayMs(rig.ctx, 1000);
        EXPECT_EQ(rig.steps(), "wait 1000 ms");
        for (int read = 0; read < 1000; ++read) {
            (void)readDataIn(rig.ctx);
        }
        at.push_back(rig.recorder.clock.nowNs());
        EXPECT_EQ(at.back(), 1700 * nsPerMs);
        for (std::size_t i = 1; i < at.size(); ++i) {
            EXPECT_LE(at[i] - at[i - 1], 100 * nsPerMs) << parallel << " at " << at[i];
        }
    }
}

// A clock without its own serving wait (the virtual one) serves after every whole slice.
TEST(KeepAlive, APlainClockServesAfterEverySliceOfALongWait) {
    struct SteppingClock final : Clock {
        std::uint64_t now = 0;
        std::uint64_t nowNs() override { return now; }
        void waitUntilNs(std::uint64_t deadlineNs) override { now = deadlineNs; }
    } clock;
    std::vector<std::uint64_t> served;
    clock.waitServingUntilNs(1000 * nsPerMs, 300 * nsPerMs, [&] { served.push_back(clock.now); });
    EXPECT_EQ(served, (std::vector<std::uint64_t>{300 * nsPerMs, 600 * nsPerMs, 900 * nsPerMs}));
    EXPECT_EQ(clock.now, 1000 * nsPerMs);
}

// Moves from 0 to 50 ms once the port has been read a given number of times.
class StepClock final : public Clock {
  public:
    StepClock(Recorder& recorder, int reads) : m_recorder(recorder), m_reads(reads) {}
    std::uint64_t nowNs() override { return m_recorder.operations >= m_reads ? 50 * nsPerMs : 0; }
    void waitUntilNs(std::uint64_t) override {}

  private:
    Recorder& m_recorder;
    int m_reads;
};

TEST(CalibrateBitDelay, DividesTheReadsOfFiftyMillisecondsBy37000AndEndsOnAStillClock) {
    for (auto [reads, count] : {std::pair{2, 1}, {36999, 1}, {37000, 2}}) {
        OpenRig rig(true);
        StepClock clock(rig.recorder, reads - 1);  // the read after the last sample counts too
        LinkContext ctx{rig.port,        rig.state,  rig.messageText, clock,
                        rig.serialPorts, rig.portIo, rig.host,        nullptr};
        calibrateBitDelay(ctx);
        EXPECT_EQ(rig.recorder.operations, reads);
        EXPECT_EQ(rig.state.bitDelayCount, count) << reads;
    }
    RecordingRig still;  // serial, no port open: reads cost no time
    calibrateBitDelay(still.ctx);
    EXPECT_GE(still.state.bitDelayCount, 1);
}

}  // namespace
}  // namespace adapter
