// Up to which motor speed the rev counter's reading holds. The counter polls DATA-IN
// as fast as it can; a pulse is counted only when one read sees it high and a later one
// sees it low, so the cost of one read decides the highest pulse rate it follows.
//
//   rev_counter_bench                 the virtual adapter only
//   rev_counter_bench /dev/ttyUSB0    also the cost of one DATA-IN read on that port, and
//                                     the rate that cost allows (opened only when named;
//                                     never name the machine's console)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "adapter/adapter.h"
#include "resources/main_dialog.h"
#include "resources/rev_counter_dialog.h"
#include "settings/settings.h"
#include "sim/test_rig.h"

#ifdef ZEK_BENCH_REAL_PORT
#include "adapter/serial_port_qt.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr double windowSeconds = 2.0;

struct Measurement {
    int shownPerMinute = -1;  // the first window's "U/min" figure, -1 when none
};

// The port the counter reads: a bare one at a cost per call, or a driver's profile.
struct PortModel {
    std::uint64_t readCostNs = sim::SerialAdapterConfig{}.opCostNs;
    std::optional<sim::SerialDriver> driver;
    // High for half the period instead of the sensor's fixed pulse width.
    bool squareWave = false;
};

// One "Motor-Freigabe" against a motor at rateHz, stopped after the first window.
Measurement measureOnce(double rateHz, const PortModel& port) {
    sim::TestRig rig;
    rig.serialConfig().opCostNs = port.readCostNs;
    if (port.driver) {
        sim::useDriver(rig.serialConfig(), *port.driver);
    }
    if (port.squareWave) {
        rig.motorConfig().pulseWidthUs = 1'000'000'000;  // capped at half the period
    }
    rig.motorConfig().pulseRateHz = rateHz;
    rig.motorConfig().runMs = 10'000;
    rig.setupMemory()[13] = 0xFD;
    ui::Dialog mainDialog(resources::mainDialogTemplate());
    settings::SetupImage image;
    image.controllerVersion = 0x1011;
    image.clockMHz = 8;
    settings::MotorData motor;
    std::uint8_t lockByte = 0;
    rig.link().mainWindow = &mainDialog;
    // No qvsetup.cfg there: the motor data stays at 2 poles and 1.00, and no file is touched.
    rig.port().startDirectory = "/nonexistent/zek-rev-counter-bench";
    settings::SettingsContext ctx{rig.link(), mainDialog, image, motor, lockByte};

    Measurement result;
    rig.host().onRepaint = [&](ui::Dialog& dialog) {
        const std::string& text = dialog.has(rev_ids::RatePerMinuteField)
                                      ? dialog.text(rev_ids::RatePerMinuteField)
                                      : std::string();
        if (dialog.id() == rev_ids::Dialog && result.shownPerMinute < 0 && text.size() > 1) {
            result.shownPerMinute = std::stoi(text);
        }
    };
    rig.host().stopPredicate = [&](ui::Dialog&) { return result.shownPerMinute >= 0; };
    rig.host().modalScripts.push_back(
        [](ui::Dialog&, const std::function<void(ui::ControlId)>& command) {
            command(rev_ids::ReleaseMotorButton);
        });
    (void)settings::openRevCounter(ctx);
    return result;
}

// Counted without loss: the window holds rate × 2 s pulses, give or take the one that
// straddles its edge.
bool countsWithoutLoss(double rateHz, const PortModel& port) {
    const Measurement m = measureOnce(rateHz, port);
    const double expectedPulses = rateHz * windowSeconds;
    const double shownPulses = m.shownPerMinute / 30.0;
    return m.shownPerMinute >= 0 && shownPulses >= expectedPulses - 1.0 &&
           shownPulses <= expectedPulses + 1.0;
}

double highestLosslessRate(const PortModel& port) {
    double good = 10.0;
    if (!countsWithoutLoss(good, port)) {
        return 0.0;
    }
    double bad = good;
    while (countsWithoutLoss(bad, port)) {
        good = bad;
        bad *= 4.0;
        if (bad > 1e7) {
            return good;
        }
    }
    // Within 2 % is all a pilot needs.
    while (bad / good > 1.02) {
        const double middle = (good + bad) / 2.0;
        (countsWithoutLoss(middle, port) ? good : bad) = middle;
    }
    return good;
}

void reportRate(const char* what, std::uint64_t readCostNs) {
    const double rate = highestLosslessRate(PortModel{readCostNs, std::nullopt, false});
    std::printf("%s: read cost %.1f us -> highest lossless pulse rate %.0f Hz\n", what,
                readCostNs / 1000.0, rate);
    std::printf(
        "    = %.0f electrical U/min; motor U/min with 2/4/10/14 poles: %.0f / %.0f / "
        "%.0f / %.0f\n",
        rate * 60.0, rate * 60.0, rate * 30.0, rate * 12.0, rate * 120.0 / 14.0);
}

// What one DATA-IN read through the line driver costs in wall time on the simulator.
void reportVirtualReadCost() {
    sim::TestRig rig;
    (void)adapter::detectAdapter(rig.link());
    constexpr int reads = 1'000'000;
    int highs = 0;
    const auto start = Clock::now();
    for (int i = 0; i < reads; ++i) {
        highs += adapter::SerialLines(rig.link()).readDataIn();
    }
    const double ns =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / reads;
    std::printf("virtual adapter: one DATA-IN read takes %.0f ns of wall time (%d high)\n", ns,
                highs);
}

#ifdef ZEK_BENCH_REAL_PORT
// The cost of one DATA-IN read (one modem-status call) on a real port.
std::uint64_t measureRealReadCost(const std::string& device) {
    adapter::QtSerialPortFactory factory;
    adapter::SerialOpenResult result = adapter::SerialOpenResult::Ok;
    std::unique_ptr<adapter::LineAccess> port = factory.open(device, result);
    if (!port || result != adapter::SerialOpenResult::Ok) {
        std::printf("%s: cannot open (%s)\n", device.c_str(), factory.lastError().c_str());
        return 0;
    }
    constexpr int reads = 20'000;
    const auto start = Clock::now();
    for (int i = 0; i < reads && !port->failed(); ++i) {
        port->readDataIn();
    }
    const double ns =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / reads;
    std::printf("%s: one DATA-IN read takes %.1f us\n", device.c_str(), ns / 1000.0);
    return static_cast<std::uint64_t>(ns);
}
#endif

// Each driver profile: its status read decides the ceiling. A pulse shorter than the
// time between two fresh reads can fall between them, so the sensor's 200 us pulses and a
// square wave of the same rate are both given.
void reportDriverProfiles() {
    std::printf("%-14s %22s %22s\n", "driver profile", "200 us pulses, Hz", "square wave, Hz");
    for (sim::SerialDriver driver : sim::allSerialDrivers) {
        const double narrow = highestLosslessRate(PortModel{0, driver, false});
        const double square = highestLosslessRate(PortModel{0, driver, true});
        std::printf("%-14s %22.0f %22.0f\n", std::string(sim::driverName(driver)).c_str(), narrow,
                    square);
    }
}

}  // namespace

int main(int argc, char** argv) {
    reportVirtualReadCost();
    reportRate("virtual adapter", sim::SerialAdapterConfig{}.opCostNs);
    // The same counter on slower ports: the simulator charges each read what such a port
    // takes (a native UART's status read is microseconds, a USB adapter's up to a frame).
    std::printf("pulses %u us wide, or half a period where that is shorter\n",
                sim::MotorConfig{}.pulseWidthUs);
    for (const std::uint64_t costNs : {10'000ull, 100'000ull, 1'000'000ull}) {
        reportRate("modelled port", costNs);
    }
    reportDriverProfiles();
#ifdef ZEK_BENCH_REAL_PORT
    if (argc > 1) {
        if (const std::uint64_t cost = measureRealReadCost(argv[1])) {
            reportRate(argv[1], cost);
        }
    }
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
