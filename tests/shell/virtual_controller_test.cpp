// The shell's commands end to end on the virtual controller.
#include <gtest/gtest.h>

#include "config/temp_directory.h"
#include "resources/main_dialog_ids.h"
#include "shell/app.h"
#include "sim/test_rig.h"
#include "ui/recording_host.h"

namespace shell {
namespace {

struct SimulatedApp {
    sim::TestRig rig;
    ui::RecordingHost host;
    testing_support::TempDirectory directory;
    App app{host, Backends{&rig.clock(), &rig.serialPorts(), &rig.portIo()}, PlatformFlags{}};

    SimulatedApp() { app.initDialog(directory.path()); }
};

TEST(OnTheVirtualController, PortSelectionFindsTheAdapterOrSaysItIsMissing) {
    SimulatedApp sim;
    sim.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    sim.app.dispatch(ids::Com3Item);
    EXPECT_EQ(sim.host.lastText(), "No Adaptor found at COM3\n");
    EXPECT_EQ(sim.host.lastCaption(), "Error");
    EXPECT_FALSE(sim.app.linkState().adapterDetected);

    sim.rig.serialConfig().loopBack = sim::LoopBack::FollowsDtr;
    sim.host.messages.clear();
    sim.app.dispatch(ids::Com3Item);
    EXPECT_TRUE(sim.host.messages.empty());
    EXPECT_TRUE(sim.app.linkState().adapterDetected);
    EXPECT_TRUE(sim.app.mainDialog().menuItem(ids::Com3Item).checked);
}

TEST(OnTheVirtualController, ReadThroughTheDispatchFillsTheDialog) {
    SimulatedApp sim;
    sim.app.dispatch(ids::ReadButton);
    const ui::Dialog& dialog = sim.app.mainDialog();
    EXPECT_TRUE(sim.host.messages.empty()) << sim.host.lastText();
    EXPECT_EQ(dialog.text(ids::StatusField), "OK");
    EXPECT_TRUE(dialog.enabled(ids::WriteButton));
    EXPECT_FALSE(dialog.text(ids::VersionField).empty());
    EXPECT_FALSE(dialog.text(ids::FullThrottleField).empty());
    EXPECT_TRUE(sim.app.setupImage().valuesRead());
    EXPECT_EQ(sim.host.beeps, 1);
}

}  // namespace
}  // namespace shell
