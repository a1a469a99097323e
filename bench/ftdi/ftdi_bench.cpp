// The FTDI bit-bang path on the virtual chip: "Lesen", "Schreiben", an 8 KiB update,
// ispConnect and the rev counter, each against the waits the protocol demands. The
// chip answers each transfer after its latency timer (1 ms), as a real one does.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/ftdi_lines.h"
#include "config/temp_directory.h"
#include "isp/isp_access.h"
#include "resources/main_dialog.h"
#include "resources/rev_counter_dialog.h"
#include "settings/settings.h"
#include "sim/test_rig.h"
#include "sim/virtual_ftdi_chip.h"
#include "update/update.h"
#include "update/update_file_builder.h"

namespace {

// Forwards to the rig's virtual clock and adds up every wait the procedures ask for.
class WaitCountingClock final : public adapter::Clock {
  public:
    explicit WaitCountingClock(adapter::VirtualClock& clock) : m_clock(clock) {}
    std::uint64_t nowNs() override { return m_clock.nowNs(); }
    void waitUntilNs(std::uint64_t deadlineNs) override {
        const std::uint64_t now = m_clock.nowNs();
        m_waitedNs += deadlineNs > now ? deadlineNs - now : 0;
        m_clock.waitUntilNs(deadlineNs);
    }
    std::uint64_t waitedNs() const { return m_waitedNs; }
    void clear() { m_waitedNs = 0; }

  private:
    adapter::VirtualClock& m_clock;
    std::uint64_t m_waitedNs = 0;
};

// The procedures' waits are counted; the chip's lines run on the rig's own clock.
struct Bench {
    Bench() {
        dir.write("qvsetup.cfg", "COM2");
        rig.port().startDirectory = dir.path();
        rig.port().comDeviceName = "ftdi:ZEK0001";
        rig.serialPorts().setAttached(false);
        rig.setupMemory()[32] = 0x30;
        rig.setupMemory()[33] = 0x12;
        settings::fillMainDialogLists(mainDialog);
    }
    testing_support::TempDirectory dir;
    sim::TestRig rig;
    WaitCountingClock clock{rig.clock()};
    sim::VirtualFtdiBus bus{rig.clock(), rig.controller()};
    adapter::FtdiPortFactory ports{bus, rig.clock(), rig.serialPorts()};
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    adapter::LinkContext link{rig.port(), rig.linkState(), rig.messageText(), clock,
                              ports,      rig.portIo(),    rig.host(),        &mainDialog};
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext settingsCtx{link, mainDialog, image, motorData, lockByte};
};

void report(const char* name, Bench& bench, double extraDemandedMs,
            const std::function<void()>& command) {
    bench.clock.clear();
    const std::uint64_t startNs = bench.rig.clock().nowNs();
    const std::uint64_t writesBefore = bench.bus.writes();
    command();
    const double adapterMs = static_cast<double>(bench.rig.clock().nowNs() - startNs) / 1e6;
    const double waitsMs = static_cast<double>(bench.clock.waitedNs()) / 1e6 + extraDemandedMs;
    std::printf(
        "%-12s adapter %9.1f ms  demanded %9.1f ms  ratio %5.2f  writes %llu%s\n", name, adapterMs,
        waitsMs, adapterMs / waitsMs,
        static_cast<unsigned long long>(bench.bus.writes() - writesBefore),
        bench.rig.host().messages.empty() ? "" : ("  box: " + bench.rig.host().lastText()).c_str());
    bench.rig.host().messages.clear();
}

void benchSettings() {
    Bench bench;
    for (int round = 0; round < 2; ++round) {
        report("Lesen", bench, 0, [&] {
            (void)settings::readSettings(bench.settingsCtx, settings::SettingsArea::Current);
        });
        report("Schreiben", bench, 0, [&] {
            (void)settings::writeSettings(bench.settingsCtx, settings::SettingsArea::Current);
        });
    }
}

void benchUpdate() {
    Bench bench;
    constexpr std::size_t imageBytes = 8 * 1024;
    bench.dir.write("A3012B3012.upd", testing_support::plainUpdateFile(
                                          testing_support::consecutiveRecords(0, imageBytes)));
    bench.rig.host().files.push_back(bench.dir.file("A3012B3012.upd"));
    update::UpdateState state;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext ctx{bench.link, state, controllerVersion};
    // The update's progress display holds the "OK" for a second of its own.
    report("8 KiB update", bench, 0, [&] { (void)update::runUpdate(ctx); });
}

void benchIspConnect() {
    Bench bench;
    isp::IspState state;
    isp::IspContext ctx{bench.link, state};
    // The short reset's bit-delay calibration counts reads for 50 ms.
    report("ispConnect", bench, 50.0, [&] { (void)isp::ispConnect(ctx); });
}

// The first three windows' pulse counts against a motor at rateHz.
std::vector<int> revWindows(double rateHz) {
    Bench bench;
    bench.rig.motorConfig().pulseRateHz = rateHz;
    bench.rig.motorConfig().runMs = 10'000;
    bench.rig.setupMemory()[13] = 0xFD;
    bench.image.controllerVersion = 0x1011;
    bench.image.clockMHz = 8;
    bench.rig.port().startDirectory = "/nonexistent/zek-ftdi-bench";
    std::vector<int> pulses;
    bench.rig.host().onRepaint = [&](ui::Dialog& dialog) {
        if (dialog.id() == rev_ids::Dialog && dialog.text(rev_ids::RatePerMinuteField).size() > 1) {
            pulses.push_back(std::stoi(dialog.text(rev_ids::RatePerMinuteField)) / 30);
        }
    };
    bench.rig.host().stopPredicate = [&](ui::Dialog&) { return pulses.size() >= 3; };
    bench.rig.host().modalScripts.push_back(
        [](ui::Dialog&, const std::function<void(ui::ControlId)>& command) {
            command(rev_ids::ReleaseMotorButton);
        });
    (void)settings::openRevCounter(bench.settingsCtx);
    return pulses;
}

void benchRevCounter() {
    for (double rateHz : {1'000.0, 20'000.0, 40'000.0}) {
        const std::vector<int> windows = revWindows(rateHz);
        std::printf("rev counter  %6.0f Hz: expected %6.0f per window, counted", rateHz,
                    rateHz * 2);
        for (int count : windows) {
            std::printf(" %d", count);
        }
        std::printf("\n");
    }
}

}  // namespace

int main() {
    benchSettings();
    benchUpdate();
    benchIspConnect();
    benchRevCounter();
    return 0;
}
