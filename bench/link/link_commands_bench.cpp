// Each link command on the virtual controller: its duration on the virtual clock against
// the millisecond waits the protocol demands (the rest is bit delays and line operations),
// and what one run costs the host.
#include <chrono>
#include <cstdio>
#include <functional>

#include "adapter/adapter.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace {

void measure(sim::TestRig& rig, const char* name, double demandedMs,
             const std::function<void()>& command) {
    constexpr int runs = 20;
    const std::uint64_t virtualStart = rig.clock().nowNs();
    auto hostStart = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) {
        command();
    }
    std::chrono::duration<double, std::micro> host = std::chrono::steady_clock::now() - hostStart;
    const double virtualMs = (rig.clock().nowNs() - virtualStart) / 1e6 / runs;
    std::printf("%-22s %9.3f ms  waits %6.1f ms  beyond %7.3f ms  host %8.1f us\n", name, virtualMs,
                demandedMs, virtualMs - demandedMs, host.count() / runs);
}

}  // namespace

int main() {
    for (bool parallel : {false, true}) {
        sim::TestRig rig;
        rig.trace().setEnabled(false);
        adapter::LinkContext& link = rig.link();
        if (parallel) {
            rig.selectParallel();
            adapter::setReset(link, true);
            adapter::delayMs(link, 500);
        } else {
            (void)adapter::detectAdapter(link);
            adapter::startController(link, adapter::StartForm::Standard);
        }
        // The bit delay as a calibration on this port would set it.
        adapter::calibrateBitDelay(link);
        std::printf("%s adapter, bitDelayCount %d\n", parallel ? "parallel" : "serial",
                    link.state.bitDelayCount);
        measure(rig, "probeExchange", 0, [&] { (void)clink::probeExchange(link); });
        measure(rig, "readSetupByte", 15, [&] { (void)clink::readSetupByte(link, 12); });
        measure(rig, "writeSetupByte", 40, [&] { (void)clink::writeSetupByte(link, 14, 0x33); });
        measure(rig, "selectFlashPage", 0, [&] { clink::selectFlashPage(link, 4); });
        measure(rig, "loadPageByte", 0, [&] { (void)clink::loadPageByte(link, 0, 0x12); });
        measure(rig, "commitFlashPage", 40, [&] { (void)clink::commitFlashPage(link, 4); });
    }
    return 0;
}
