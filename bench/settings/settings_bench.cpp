// "Lesen" and "Schreiben" on the virtual controller: how far the command's duration on
// the adapter lies above the waits the protocol demands, and how much host CPU time the
// run costs against that duration.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/test_rig.h"

namespace {

// Forwards to the rig's virtual clock and adds up every wait the procedures ask for.
class WaitCountingClock final : public adapter::Clock {
  public:
    explicit WaitCountingClock(adapter::VirtualClock& clock) : m_clock(clock) {}
    std::uint64_t nowNs() override { return m_clock.nowNs(); }
    void waitUntilNs(std::uint64_t deadlineNs) override {
        const std::uint64_t now = m_clock.nowNs();
        if (deadlineNs > now) {
            m_waitedNs += deadlineNs - now;
        }
        m_clock.waitUntilNs(deadlineNs);
    }
    std::uint64_t waitedNs() const { return m_waitedNs; }
    void clear() { m_waitedNs = 0; }

  private:
    adapter::VirtualClock& m_clock;
    std::uint64_t m_waitedNs = 0;
};

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Figures {
    double adapterMs = 0;  // duration on the virtual clock: what the command takes at the adapter
    double waitsMs = 0;    // the waits the protocol demands
    double hostMs = 0;     // host wall time to simulate it
    double cpuMs = 0;      // host CPU time to simulate it
};

template <typename Command>
Figures measure(sim::TestRig& rig, WaitCountingClock& clock, Command command) {
    clock.clear();
    const std::uint64_t startNs = rig.clock().nowNs();
    const double cpuStart = processCpuSeconds();
    const auto hostStart = std::chrono::steady_clock::now();
    command();
    const auto hostEnd = std::chrono::steady_clock::now();
    Figures f;
    f.cpuMs = (processCpuSeconds() - cpuStart) * 1e3;
    f.hostMs = std::chrono::duration<double, std::milli>(hostEnd - hostStart).count();
    f.adapterMs = static_cast<double>(rig.clock().nowNs() - startNs) * 1e-6;
    f.waitsMs = static_cast<double>(clock.waitedNs()) * 1e-6;
    return f;
}

void report(const char* name, const Figures& f) {
    const double overhead = f.waitsMs > 0 ? (f.adapterMs - f.waitsMs) / f.waitsMs * 100 : 0;
    std::printf(
        "%-10s adapter %9.1f ms  waits %9.1f ms  overhead %5.2f %%  host wall %7.1f ms  "
        "host CPU %7.1f ms (%5.2f %% of the adapter time)\n",
        name, f.adapterMs, f.waitsMs, overhead, f.hostMs, f.cpuMs, f.cpuMs / f.adapterMs * 100);
}

// One round of "Lesen" and "Schreiben" on a rig; false when a box came up.
bool benchRig(const char* label, std::optional<sim::SerialDriver> driver, int rounds) {
    sim::TestRig rig;
    if (driver) {
        sim::useDriver(rig.serialConfig(), *driver);
    }
    WaitCountingClock clock(rig.clock());
    adapter::LinkContext link{rig.port(),        rig.linkState(), rig.messageText(), clock,
                              rig.serialPorts(), rig.portIo(),    rig.host()};
    ui::Dialog dialog(resources::mainDialogTemplate());
    link.mainWindow = &dialog;
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext ctx{link, dialog, image, motorData, lockByte};
    settings::fillMainDialogLists(dialog);

    std::printf("-- %s\n", label);
    for (int round = 0; round < rounds; ++round) {
        report("Lesen", measure(rig, clock, [&] {
                   settings::readSettings(ctx, settings::SettingsArea::Current);
               }));
        report("Schreiben", measure(rig, clock, [&] {
                   settings::writeSettings(ctx, settings::SettingsArea::Current);
               }));
    }
    if (!rig.host().messages.empty()) {
        std::printf("message: %s\n", rig.host().messages.back().text.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main() {
    bool ok = benchRig("bare virtual adapter (the pinned sequences)", std::nullopt, 5);
    // Where a driver cannot carry the lines the box is the expected figure.
    for (sim::SerialDriver driver : sim::allSerialDrivers) {
        const std::string label = "driver profile " + std::string(sim::driverName(driver));
        const bool works = benchRig(label.c_str(), driver, 2);
        const bool refused =
            driver == sim::SerialDriver::CdcAcm || driver == sim::SerialDriver::Ch341NoBreak;
        ok = ok && works != refused;
    }
    return ok ? 0 : 1;
}
