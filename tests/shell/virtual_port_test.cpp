// The virtual controller as a port choice: it never reaches qvsetup.cfg.
#include <gtest/gtest.h>

#include "resources/main_dialog_ids.h"
#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

using adapter::testing::DsrMode;

struct VirtualRig : ShellRig {
    // The context closes its port on the virtual back-end, which must still be there.
    ~VirtualRig() { app.reset(); }

    adapter::testing::Recorder simRecorder;
    adapter::testing::RecordingSerialPorts simPorts{simRecorder};
    adapter::testing::RecordingPortIo simPortIo{simRecorder};

    App& startWithVirtual(PlatformFlags platform = serialOnly) {
        App& started = start(platform);
        started.setVirtualBackends(Backends{&simRecorder.clock, &simPorts, &simPortIo});
        return started;
    }
};

bool anyPortChecked(const ui::Dialog& dialog) {
    for (ui::ControlId id = ids::Com1Item; id <= ids::Com8Item; ++id) {
        if (dialog.menuItem(id).checked) {
            return true;
        }
    }
    return false;
}

TEST(VirtualPort, SelectingItLeavesTheSavedPortAlone) {
    VirtualRig rig;
    rig.writeConfig("COM4");
    App& app = rig.startWithVirtual();
    app.dispatch(VirtualControllerItem);
    EXPECT_TRUE(app.virtualControllerSelected());
    EXPECT_FALSE(anyPortChecked(app.mainDialog()));
    EXPECT_EQ(app.port().kind, adapter::PortKind::Serial);
    EXPECT_EQ(rig.simPorts.opens, 1);
    EXPECT_EQ(rig.serialPorts.opens, 0);
    EXPECT_TRUE(app.linkState().adapterDetected);

    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM4");
    EXPECT_EQ(rig.simRecorder.count("close"), 1);
}

TEST(VirtualPort, KeepsAParallelPortFieldToo) {
    VirtualRig rig;
    rig.writeConfig("03BC");
    App& app = rig.startWithVirtual(withPortDriver);
    app.selectVirtualController(false);
    EXPECT_EQ(rig.simPorts.opens, 0);  // start-up selects it without an adapter check
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "03BC");
}

TEST(VirtualPort, AComItemSwitchesBackToTheRealPorts) {
    VirtualRig rig;
    App& app = rig.startWithVirtual();
    app.dispatch(VirtualControllerItem);
    app.dispatch(ids::Com4Item);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_EQ(rig.simRecorder.count("close"), 1);
    EXPECT_EQ(rig.serialPorts.opens, 1);
    EXPECT_EQ(rig.recorder.count("open COM4"), 1);
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM4");
}

TEST(VirtualPort, AMissingVirtualAdapterIsReportedUnderItsOwnName) {
    VirtualRig rig;
    rig.simRecorder.dsr = DsrMode::Missing;
    App& app = rig.startWithVirtual();
    app.dispatch(VirtualControllerItem);
    EXPECT_EQ(rig.host.lastText(), "No Adaptor found at SIM\n");
}

TEST(VirtualPort, WithoutVirtualBackendsTheItemDoesNothing) {
    ShellRig rig;
    App& app = rig.start();
    app.dispatch(VirtualControllerItem);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_TRUE(app.mainDialog().menuItem(ids::Com2Item).checked);
}

}  // namespace
}  // namespace shell::testing
