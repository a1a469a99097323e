#include "adapter/line_access.h"

namespace adapter {

namespace {

// A cached status needs one report interval to pass after the change, and one more for
// the report's trip through the driver: the report's phase against the edge is unknown.
constexpr std::uint64_t reportIntervalsBeforeSample = 2;

std::uint64_t nowOf(const BitClocking& clocking) {
    return clocking.clock != nullptr ? clocking.clock->nowNs() : 0;
}

}  // namespace

void LineAccess::delayOneBit(const BitClocking& clocking, std::uint64_t lastChangeNs) {
    for (long long read = 0; read < clocking.readsPerDelay; ++read) {
        (void)readDataIn();
    }
    if (clocking.clock != nullptr && clocking.unitNs != 0) {
        clocking.clock->waitUntilNs(lastChangeNs + clocking.unitNs);
    }
}

std::uint32_t LineAccess::exchangeBits(std::uint32_t bits, int count, const BitClocking& clocking) {
    std::uint32_t samples = 0;
    const std::uint64_t reportWaitNs =
        clocking.traits.statusReportIntervalNs * reportIntervalsBeforeSample;
    // DATA-IN of the first bit was set before this exchange began.
    std::uint64_t causeNs = nowOf(clocking);
    std::uint64_t changedNs = causeNs;
    auto changed = [&] { changedNs = nowOf(clocking); };
    for (int i = count - 1; i >= 0; --i) {
        // The controller samples DATA-OUT on the rising edge: it settles one delay before.
        setDataOut(((bits >> i) & 1u) != 0);
        changed();
        delayOneBit(clocking, changedNs);
        setClock(true);
        changed();
        delayOneBit(clocking, changedNs);
        if (clocking.traits.idleDataOutHigh) {
            setDataOut(true);
            changed();
            delayOneBit(clocking, changedNs);
        }
        if (reportWaitNs != 0 && clocking.clock != nullptr) {
            // The level read must come from a report made after the controller changed it.
            clocking.clock->waitUntilNs(causeNs + reportWaitNs);
        }
        samples = samples << 1 | (readDataIn() != 0 ? 1u : 0u);
        if (clocking.traits.delayAfterSample) {
            delayOneBit(clocking, changedNs);
        }
        setClock(false);
        changed();
        // The controller changes DATA-IN after the falling edge.
        causeNs = changedNs;
        delayOneBit(clocking, changedNs);
    }
    return samples;
}

}  // namespace adapter
