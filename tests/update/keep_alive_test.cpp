// On a slow USB-serial port a command still lets the desktop answer the window system:
// the host's keep-alive comes within every 200 ms of the adapter's time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "config/temp_directory.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "settings/settings.h"
#include "sim/test_rig.h"
#include "update/update.h"
#include "update/update_file_builder.h"

namespace {

constexpr std::uint64_t limitNs = 200'000'000;

struct SlowPort {
    SlowPort() {
        dir.write("qvsetup.cfg", "COM2");
        rig.port().startDirectory = dir.path();
        sim::useDriver(rig.serialConfig(), sim::SerialDriver::Pl2303);
        rig.setupMemory()[32] = 0x30;
        rig.setupMemory()[33] = 0x12;
        settings::fillMainDialogLists(mainDialog);
        rig.host().onKeepAlive = [this] { times.push_back(rig.clock().nowNs()); };
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

    testing_support::TempDirectory dir;
    sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    std::vector<std::uint64_t> times;
};

TEST(KeepAlive, ReadAndUpdatePageOnASlowPort) {
    SlowPort port;
    port.rig.link().mainWindow = &port.mainDialog;
    settings::SetupImage image;
    settings::MotorData motorData;
    std::uint8_t lockByte = 0;
    settings::SettingsContext settingsCtx{port.rig.link(), port.mainDialog, image, motorData,
                                          lockByte};
    std::uint64_t startNs = port.rig.clock().nowNs();
    EXPECT_EQ(settings::readSettings(settingsCtx, settings::SettingsArea::Current),
              ui::Outcome::Done);
    EXPECT_LE(port.longestGapNs(startNs), limitNs);

    port.dir.write("A3012B3012.upd",
                   testing_support::plainUpdateFile(testing_support::consecutiveRecords(0, 64)));
    port.rig.host().files.push_back(port.dir.file("A3012B3012.upd"));
    update::UpdateState state;
    std::int32_t controllerVersion = 0x3012;
    update::UpdateContext updateCtx{port.rig.link(), state, controllerVersion};
    startNs = port.rig.clock().nowNs();
    EXPECT_EQ(update::runUpdate(updateCtx), ui::Outcome::Done);
    EXPECT_EQ(port.rig.pageLog().size(), 2u);  // one page selected and committed
    EXPECT_LE(port.longestGapNs(startNs), limitNs);
}

}  // namespace
