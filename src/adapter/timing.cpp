// Millisecond waits on the clock and the short bit delay made of DATA-IN reads.
#include <cstdint>

#include "adapter/adapter.h"

namespace adapter {

namespace {

constexpr std::uint64_t nsPerMs = 1'000'000;
// One bitDelay unit is this many batches of bitDelayCount DATA-IN reads.
constexpr int bitDelayMultiplier = 5;
// Calibration counts reads for this long; 37000 reads of a fast port take about that long
// on the machines the timing was first tuned on, so one batch lasts about 1.35 µs.
constexpr std::uint64_t calibrationNs = 50 * nsPerMs;
constexpr std::int32_t readsPerBatchUnit = 37000;
// A clock that does not move while the port is read (a virtual one without read cost)
// would keep calibration counting forever. No port read takes less than 13.5 ns, so a
// real calibration never gets this far.
constexpr long long calibrationReadLimit = 100LL * readsPerBatchUnit;

}  // namespace

void delayMs(Clock& clock, std::uint32_t ms) {
    // Two reads at the start, the second discarded, as the tick counter was read; the
    // wait itself is measured in nanoseconds so that it never ends early.
    std::uint64_t startNs = clock.nowNs();
    (void)clock.nowNs();
    if (ms == 0) {
        return;
    }
    const std::uint64_t lengthNs = static_cast<std::uint64_t>(ms) * nsPerMs;
    // A clock started near its end must not wrap the deadline into the past.
    const std::uint64_t deadlineNs =
        startNs > UINT64_MAX - lengthNs ? UINT64_MAX : startNs + lengthNs;
    clock.waitUntilNs(deadlineNs);
}

long long bitDelayReads(LinkContext& ctx) {
    if (ctx.state.bitDelayCount <= 0) {
        ctx.state.bitDelayCount = 1;
    }
    return static_cast<long long>(ctx.state.bitDelayCount) * bitDelayMultiplier;
}

void bitDelay(LinkContext& ctx, int units) {
    const long long reads = bitDelayReads(ctx) * (units <= 0 ? 1 : units);
    SelectedLines lines(ctx);
    for (long long read = 0; read < reads; ++read) {
        (void)lines->readDataIn();
    }
}

void calibrateBitDelay(LinkContext& ctx) {
    long long count = 0;
    std::uint64_t startNs = ctx.clock.nowNs();
    (void)ctx.clock.nowNs();
    std::uint64_t now = 0;
    SelectedLines lines(ctx);
    do {
        now = ctx.clock.nowNs();
        (void)lines->readDataIn();
        ++count;
    } while (now - startNs < calibrationNs && count < calibrationReadLimit);
    ctx.state.bitDelayCount = static_cast<std::int32_t>(count / readsPerBatchUnit + 1);
}

}  // namespace adapter
