// Prints: the update of an 8 KiB image through the virtual controller (virtual and host
// time, records per second, against the sum of the waits the protocol demands), and the
// time the whole-file check takes for 16 KiB files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "sim/test_rig.h"
#include "update/update.h"
#include "update/update_file_builder.h"
#include "update/update_image.h"

namespace {

using Clock = std::chrono::steady_clock;

// The millisecond waits an update of pages pages demands, from the first probe to the end:
// standard and update start (100 + 500, 100 + 1000), two setup-byte reads (3 × 5 each),
// a commit wait of 40 per page, "OK" shown for 1000, the lock flags read (15) and written
// (4 × 5 + 20).
double demandedWaitsMs(int pages) {
    return 600.0 + 1100.0 + 2 * 15.0 + 40.0 * pages + 1000.0 + 15.0 + 40.0;
}

void benchProgramming(std::optional<sim::SerialDriver> driver = std::nullopt) {
    constexpr std::size_t imageBytes = 8 * 1024;
    testing_support::TempDirectory dir;
    dir.write("qvsetup.cfg", "COM2");
    dir.write("A3012B3012.upd",
              testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, imageBytes)));

    sim::TestRig rig;
    if (driver) {
        sim::useDriver(rig.serialConfig(), *driver);
        std::printf("driver profile %s: ", std::string(sim::driverName(*driver)).c_str());
    }
    rig.port().startDirectory = dir.path();
    rig.setupMemory()[32] = 0x30;
    rig.setupMemory()[33] = 0x12;
    ui::Dialog mainDialog(resources::mainDialogTemplate());
    rig.link().mainWindow = &mainDialog;
    rig.host().files.push_back(dir.file("A3012B3012.upd"));
    update::UpdateState state;
    std::int32_t controllerVersion = 50000;
    update::UpdateContext ctx{rig.link(), state, controllerVersion};

    const std::uint64_t virtualStartNs = rig.clock().nowNs();
    const Clock::time_point hostStart = Clock::now();
    update::runUpdate(ctx);
    const double hostSeconds = std::chrono::duration<double>(Clock::now() - hostStart).count();
    const double virtualMs = static_cast<double>(rig.clock().nowNs() - virtualStartNs) / 1e6;
    if (rig.host().beeps != 1) {
        std::printf("update failed: %s\n", rig.host().lastText().c_str());
        return;
    }
    const int pages = static_cast<int>(imageBytes / 64);
    const double waitsMs = demandedWaitsMs(pages);
    std::printf("8 KiB image, %zu records, %d pages\n", imageBytes, pages);
    std::printf("  virtual time      %10.1f ms  (%.0f records/s on the adapter's line timing)\n",
                virtualMs, imageBytes / (virtualMs / 1000.0));
    std::printf("  demanded waits    %10.1f ms  (overhead ratio %.2f)\n", waitsMs,
                virtualMs / waitsMs);
    std::printf("  host time         %10.1f ms  (%.0f records/s simulated)\n", hostSeconds * 1000.0,
                imageBytes / hostSeconds);
}

template <typename Function>
double medianMs(Function&& function, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        function();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void benchFileCheck() {
    constexpr std::size_t fileBytes = 16 * 1024;
    // A plain file of 16 KiB (about 1500 records) and a scrambled one of the same size.
    const std::string plain = testing_support::plainUpdateFile(
        testing_support::consecutiveRecords(0, fileBytes / 11), "\r\n");
    const std::string scrambled = testing_support::scrambledUpdateFile(
        testing_support::consecutiveRecords(0, (fileBytes - 160) / 8));
    // The largest image the bootloader takes: 16 KiB of flash, one record per byte.
    const std::string fullScrambled =
        testing_support::scrambledUpdateFile(testing_support::consecutiveRecords(0, 16 * 1024));

    std::size_t records = 0;
    auto check = [&](const std::string& file) {
        records = update::readUpdateImage(file).records.size();
    };
    std::printf("whole-file check, median of 101 runs (target < 10 ms)\n");
    double ms = medianMs([&] { check(plain); }, 101);
    std::printf("  plain     %6zu bytes %6zu records  %8.3f ms\n", plain.size(), records, ms);
    ms = medianMs([&] { check(scrambled); }, 101);
    std::printf("  scrambled %6zu bytes %6zu records  %8.3f ms\n", scrambled.size(), records, ms);
    ms = medianMs([&] { check(fullScrambled); }, 101);
    std::printf("  scrambled %6zu bytes %6zu records  %8.3f ms\n", fullScrambled.size(), records,
                ms);
}

}  // namespace

int main() {
    benchFileCheck();
    benchProgramming();
    // The profiles where an update can work; each prints the same figures.
    for (sim::SerialDriver driver : sim::allSerialDrivers) {
        if (driver != sim::SerialDriver::CdcAcm && driver != sim::SerialDriver::Ch341NoBreak) {
            benchProgramming(driver);
        }
    }
    return 0;
}
