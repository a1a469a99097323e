// How long ispConnect takes on the real clock against the virtual processor, next to
// the sum of the waits it must make: the millisecond waits, the bit delay calibrations
// and the bit delays of every instruction. What is left over is the procedure's own cost.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "real_time_rig.h"
#include "sim/test_rig.h"

namespace {

constexpr int runsPerCase = 3;
constexpr double calibrationMs = 50.0;
constexpr int bitsPerInstruction = 32;
// Bit delay units per bit: serial with the adapter detected, parallel.
constexpr int serialUnitsPerBit = 5;
constexpr int parallelUnitsPerBit = 3;
constexpr int parallelShortResetUnits = 10;
constexpr int unitSamples = 2000;

struct Case {
    const char* name;
    int frameOffsetBits;
    bool silent;
    int expectedResult;
    // What the connection does in this case, as the procedure lays it down.
    int instructions;
    int shortResets;
};

constexpr Case cases[] = {
    {"in step", 0, false, 0, 1 + 3, 1},
    // Two enables out of step, one with an extra pulse, the one in step, the signature.
    {"31 bits out of step", 31, false, 0, 2 + 1 + 1 + 3, 2},
    {"silent", 0, true, 1, 73, 3},
};

struct Figures {
    double totalMs;
    double demandedMs;
    double overrunMs;
};

Figures runOnce(const Case& c, bool parallel) {
    bench::RealTimeRig realTime(parallel);
    realTime.rig.ispConfig().frameOffsetBits = c.frameOffsetBits;
    realTime.rig.ispConfig().neverEchoes = c.silent;
    isp::IspState state;
    isp::IspContext ctx{realTime.link, state};

    const std::uint64_t startNs = realTime.clock.nowNs();
    const int result = static_cast<int>(isp::ispConnect(ctx));
    const std::uint64_t endNs = realTime.clock.nowNs();
    if (result != c.expectedResult) {
        std::fprintf(stderr, "%s: result %d, expected %d\n", c.name, result, c.expectedResult);
    }

    // The last calibration's bit delay, measured the same way.
    const std::uint64_t unitStartNs = realTime.clock.nowNs();
    adapter::bitDelay(realTime.link, unitSamples);
    const double unitMs =
        static_cast<double>(realTime.clock.nowNs() - unitStartNs) / 1e6 / unitSamples;

    const int units = parallel ? c.instructions * bitsPerInstruction * parallelUnitsPerBit +
                                     c.shortResets * parallelShortResetUnits
                               : c.instructions * bitsPerInstruction * serialUnitsPerBit;
    const double demandedMs = static_cast<double>(realTime.clock.waitedNs()) / 1e6 +
                              c.shortResets * calibrationMs + units * unitMs;
    return {static_cast<double>(endNs - startNs) / 1e6, demandedMs,
            static_cast<double>(realTime.clock.overrunNs()) / 1e6};
}

// Forwards to the rig's virtual clock and adds up every wait asked for.
class VirtualWaitClock final : public adapter::Clock {
  public:
    explicit VirtualWaitClock(adapter::VirtualClock& clock) : m_clock(clock) {}
    std::uint64_t nowNs() override { return m_clock.nowNs(); }
    void waitUntilNs(std::uint64_t deadlineNs) override {
        const std::uint64_t now = m_clock.nowNs();
        m_waitedNs += deadlineNs > now ? deadlineNs - now : 0;
        m_clock.waitUntilNs(deadlineNs);
    }
    std::uint64_t waitedNs() const { return m_waitedNs; }

  private:
    adapter::VirtualClock& m_clock;
    std::uint64_t m_waitedNs = 0;
};

// ispConnect in step on each driver profile, on the virtual clock: a line call costs what
// the driver takes, so the time is what the pilot waits on such a port. The waits column
// holds every wait the procedure asked the clock for, bit delays made of waits included.
void reportDriverProfiles() {
    std::printf("\n%-14s %-10s %12s %12s %9s\n", "driver profile", "result", "virtual ms",
                "waits ms", "x native");
    double nativeMs = 0;
    for (sim::SerialDriver driver : sim::allSerialDrivers) {
        sim::TestRig rig;
        sim::useDriver(rig.serialConfig(), driver);
        VirtualWaitClock clock(rig.clock());
        adapter::LinkContext link{rig.port(),        rig.linkState(), rig.messageText(), clock,
                                  rig.serialPorts(), rig.portIo(),    rig.host()};
        isp::IspState state;
        isp::IspContext ctx{link, state};
        const std::uint64_t startNs = clock.nowNs();
        const isp::IspConnection result = isp::ispConnect(ctx);
        const double ms = static_cast<double>(clock.nowNs() - startNs) / 1e6;
        if (driver == sim::SerialDriver::Native) {
            nativeMs = ms;
        }
        const char* shown = result == isp::IspConnection::Connected ? "connected"
                            : result == isp::IspConnection::Locked  ? "locked"
                                                                    : "refused";
        std::printf("%-14s %-10s %12.1f %12.1f %9.2f\n",
                    std::string(sim::driverName(driver)).c_str(), shown, ms,
                    static_cast<double>(clock.waitedNs()) / 1e6,
                    nativeMs > 0 ? ms / nativeMs : 0.0);
    }
}

}  // namespace

int main() {
    // The overrun column is how much longer than asked the waits took on this machine at
    // this moment: on a loaded one it dwarfs the procedure's own cost.
    std::printf("%-22s %-9s %10s %10s %10s %11s\n", "ispConnect", "adapter", "total ms", "waits ms",
                "overhead", "overrun ms");
    for (bool parallel : {false, true}) {
        for (const Case& c : cases) {
            std::vector<Figures> runs;
            for (int run = 0; run < runsPerCase; ++run) {
                runs.push_back(runOnce(c, parallel));
            }
            std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) {
                return a.totalMs - a.demandedMs < b.totalMs - b.demandedMs;
            });
            const Figures& median = runs[runs.size() / 2];
            const double overheadMs = median.totalMs - median.demandedMs;
            std::printf("%-22s %-9s %10.1f %10.1f %9.2f%% %11.1f %7.2f%%\n", c.name,
                        parallel ? "parallel" : "serial", median.totalMs, median.demandedMs,
                        100.0 * overheadMs / median.demandedMs, median.overrunMs,
                        100.0 * (overheadMs - median.overrunMs) / median.demandedMs);
        }
    }
    reportDriverProfiles();
    return 0;
}
