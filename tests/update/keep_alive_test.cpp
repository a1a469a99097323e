// On a slow USB-serial port a command still lets the desktop answer the window system:
// the host's keep-alive comes within every 200 ms of the adapter's time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sim/procedure_rig.h"
#include "update/update_file_builder.h"

namespace {

constexpr std::uint64_t limitNs = 200'000'000;

struct SlowPort : sim::ProcedureRig {
    SlowPort() {
        sim::useDriver(rig.serialConfig(), sim::SerialDriver::Pl2303);
        setControllerVersion(0x3012);
        controllerVersion = 0x3012;
        host().onKeepAlive = [this] { times.push_back(rig.clock().nowNs()); };
    }
    // The longest stretch without a keep-alive from start to the command's end.
    std::uint64_t longestGapNs(std::uint64_t startNs) {
        times.insert(times.begin(), startNs);
        times.push_back(rig.clock().nowNs());
        std::uint64_t longest = 0;
        for (std::size_t i = 1; i < times.size(); ++i) {
            longest = std::max(longest, times[i] - times[i - 1]);
        }
        times.clear();
        return longest;
    }
    std::vector<std::uint64_t> times;
};

TEST(KeepAlive, ReadAndUpdatePageOnASlowPort) {
    SlowPort port;
    std::uint64_t startNs = port.rig.clock().nowNs();
    EXPECT_EQ(settings::readSettings(port.settingsCtx, settings::SettingsArea::Current),
              ui::Outcome::Done);
    EXPECT_LE(port.longestGapNs(startNs), limitNs);

    startNs = port.rig.clock().nowNs();
    EXPECT_EQ(port.update("A3012B3012.upd", testing_support::plainUpdateFile(
                                                testing_support::consecutiveRecords(0, 64))),
              ui::Outcome::Done);
    EXPECT_EQ(port.rig.pageLog().size(), 2u);  // one page selected and committed
    EXPECT_LE(port.longestGapNs(startNs), limitNs);
}

}  // namespace
