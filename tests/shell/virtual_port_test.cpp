// The virtual controller as a port choice: it never reaches qvsetup.cfg.
#include <gtest/gtest.h>

#include "shell/shell_rig.h"

namespace shell::testing {
namespace {

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

TEST(VirtualPort, SelectingItLeavesTheSavedPortAlone) {
    for (const bool fromMenu : {true, false}) {  // start-up selects it without an adapter check
        SCOPED_TRACE(fromMenu ? "menu" : "start-up");
        VirtualRig rig;
        const std::string saved = fromMenu ? "COM4" : "03BC";
        rig.writeConfig(saved);
        App& app = rig.startWithVirtual(fromMenu ? serialOnly : withPortDriver);
        if (fromMenu) {
            app.dispatch(VirtualControllerItem);
        } else {
            app.selectVirtualController(false);
        }
        EXPECT_TRUE(app.virtualControllerSelected());
        EXPECT_EQ(rig.checkedPortItems(), Items{});
        EXPECT_EQ(app.port().kind, adapter::PortKind::Serial);
        EXPECT_EQ(rig.simPorts.opens, fromMenu ? 1 : 0);
        EXPECT_EQ(rig.serialPorts.opens, 0);
        app.dispatch(ids::EndButton);
        EXPECT_EQ(rig.config(), saved);
        EXPECT_EQ(rig.simRecorder.count("close"), fromMenu ? 1 : 0);
    }
}

TEST(VirtualPort, AComItemSwitchesBackToTheRealPorts) {
    VirtualRig rig;
    App& app = rig.startWithVirtual();
    app.dispatch(VirtualControllerItem);
    app.dispatch(ids::Com4Item);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_EQ(rig.simRecorder.count("close"), 1);
    EXPECT_EQ(rig.recorder.count("open COM4"), 1);
    app.dispatch(ids::EndButton);
    EXPECT_EQ(rig.config(), "COM4");
}

TEST(VirtualPort, AMissingAdapterIsReportedUnderItsOwnNameAndNoBackendsDoNothing) {
    VirtualRig rig;
    rig.simRecorder.dsr = adapter::testing::DsrMode::Missing;
    rig.startWithVirtual().dispatch(VirtualControllerItem);
    EXPECT_EQ(rig.host.lastText(), "No Adaptor found at SIM\n");

    ShellRig plain;
    App& app = plain.start();
    app.dispatch(VirtualControllerItem);
    EXPECT_FALSE(app.virtualControllerSelected());
    EXPECT_EQ(plain.checkedPortItems(), Items{ids::Com2Item});
}

}  // namespace
}  // namespace shell::testing
