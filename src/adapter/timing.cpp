// Millisecond waits on the clock and the short bit delay made of DATA-IN reads.
#include <algorithm>
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
// One CTS read on an on-board UART, which the bit delay was defined on: a unit of five
// reads per count lasts about 10 µs there.
constexpr std::uint64_t nativeReadNs = 2000;

// A port where one read already outlasts a whole unit (a USB converter) is timed by the
// clock: the reads would stretch each unit to five line calls' worth.
bool delaysByClock(const LinkState& state, std::uint64_t unitNs) {
    return state.readCostNs > unitNs;
}

long long countedReads(LinkContext& ctx) {
    if (ctx.state.bitDelayCount <= 0) {
        ctx.state.bitDelayCount = 1;
    }
    return static_cast<long long>(ctx.state.bitDelayCount) * bitDelayMultiplier;
}

// The end of a wait of ms from now, or 0 when there is nothing to wait for.
std::uint64_t delayDeadlineNs(Clock& clock, std::uint32_t ms) {
    // Two reads at the start, the second discarded, as the tick counter was read; the
    // wait itself is measured in nanoseconds so that it never ends early.
    std::uint64_t startNs = clock.nowNs();
    (void)clock.nowNs();
    if (ms == 0) {
        return 0;
    }
    const std::uint64_t lengthNs = static_cast<std::uint64_t>(ms) * nsPerMs;
    // A clock started near its end must not wrap the deadline into the past.
    return startNs > UINT64_MAX - lengthNs ? UINT64_MAX : startNs + lengthNs;
}

}  // namespace

void delayMs(Clock& clock, std::uint32_t ms) {
    if (const std::uint64_t deadlineNs = delayDeadlineNs(clock, ms); deadlineNs != 0) {
        clock.waitUntilNs(deadlineNs);
    }
}

void delayMs(LinkContext& ctx, std::uint32_t ms) {
    keepAlive(ctx);
    if (const std::uint64_t deadlineNs = delayDeadlineNs(ctx.clock, ms); deadlineNs != 0) {
        ctx.clock.waitServingUntilNs(deadlineNs, keepAliveIntervalNs, [&ctx] { keepAlive(ctx); });
        keepAlive(ctx);
    }
}

void keepAlive(LinkContext& ctx) {
    const std::uint64_t now = ctx.clock.nowNs();
    std::uint64_t& last = ctx.state.keepAliveNs;
    // A clock swapped for another (the virtual controller for a real port) may stand
    // behind the last call: that counts as due.
    if (now >= last && now - last < keepAliveIntervalNs) {
        return;
    }
    last = now;
    ctx.host.keepAlive();
}

std::uint64_t bitDelayUnitNs(LinkContext& ctx) {
    return static_cast<std::uint64_t>(countedReads(ctx)) * nativeReadNs;
}

long long bitDelayReads(LinkContext& ctx) {
    const long long reads = countedReads(ctx);
    return delaysByClock(ctx.state, bitDelayUnitNs(ctx)) ? 0 : reads;
}

void bitDelay(LinkContext& ctx, int units) {
    const int length = units <= 0 ? 1 : units;
    const std::uint64_t unitNs = bitDelayUnitNs(ctx);
    if (delaysByClock(ctx.state, unitNs)) {
        ctx.clock.waitUntilNs(ctx.clock.nowNs() + unitNs * static_cast<std::uint64_t>(length));
        return;
    }
    const long long reads = countedReads(ctx) * length;
    SelectedLines lines(ctx);
    // These reads are made anyway; what they cost tells a slow port from a native one
    // before the first byte, where no calibration ran.
    const std::uint64_t startNs = ctx.clock.nowNs();
    for (long long read = 0; read < reads; ++read) {
        (void)lines->readDataIn();
    }
    if (ctx.port.kind == PortKind::Serial && ctx.state.portOpen && reads > 0) {
        // The cheapest measurement counts: a pre-empted batch on a fast port says nothing.
        const std::uint64_t costNs =
            (ctx.clock.nowNs() - startNs) / static_cast<std::uint64_t>(reads);
        std::uint64_t& kept = ctx.state.readCostNs;
        kept = kept == 0 ? costNs : std::min(kept, costNs);
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
    if (ctx.port.kind == PortKind::Serial && ctx.state.portOpen) {
        ctx.state.readCostNs = (ctx.clock.nowNs() - startNs) / static_cast<std::uint64_t>(count);
    }
}

}  // namespace adapter
