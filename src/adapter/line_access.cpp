#include "adapter/line_access.h"

namespace adapter {

void LineAccess::delayOneBit(const BitClocking& clocking) {
    for (long long read = 0; read < clocking.readsPerDelay; ++read) {
        (void)readDataIn();
    }
}

std::uint32_t LineAccess::exchangeBits(std::uint32_t bits, int count, const BitClocking& clocking) {
    std::uint32_t samples = 0;
    for (int i = count - 1; i >= 0; --i) {
        // The controller samples DATA-OUT on the rising edge: it settles one delay before.
        setDataOut(((bits >> i) & 1u) != 0);
        delayOneBit(clocking);
        setClock(true);
        delayOneBit(clocking);
        if (clocking.traits.idleDataOutHigh) {
            setDataOut(true);
            delayOneBit(clocking);
        }
        samples = samples << 1 | (readDataIn() != 0 ? 1u : 0u);
        if (clocking.traits.delayAfterSample) {
            delayOneBit(clocking);
        }
        setClock(false);
        delayOneBit(clocking);
    }
    return samples;
}

}  // namespace adapter
