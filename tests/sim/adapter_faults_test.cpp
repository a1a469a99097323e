// The virtual adapters' wiring and their faults, seen through the seams the line driver uses.
#include <gtest/gtest.h>

#include "sim/test_rig.h"

namespace sim {
namespace {

using adapter::SerialOpenResult;

TEST(SerialAdapter, DsrFollowsDtrOnlyWithAWorkingAdapter) {
    TestRig rig;
    SerialOpenResult result{};
    auto port = rig.serialPorts().open("COM2", result);
    ASSERT_TRUE(port);
    for (bool dtr : {true, false}) {
        port->setDataOut(dtr);
        EXPECT_EQ(port->readLoopBack(), dtr);
    }
    rig.serialConfig().loopBack = LoopBack::StuckOn;
    EXPECT_TRUE(port->readLoopBack());
    rig.serialConfig().loopBack = LoopBack::Missing;
    port->setDataOut(true);
    EXPECT_FALSE(port->readLoopBack());
}

TEST(SerialAdapter, OperationsCostTimeAVanishedPortStaysDead) {
    TestRig rig;
    rig.serialConfig().opCostNs = 3000;
    rig.serialConfig().vanishAfterOps = 2;
    SerialOpenResult result{};
    auto port = rig.serialPorts().open("COM2", result);
    ASSERT_TRUE(port);
    std::uint64_t before = rig.clock().nowNs();
    port->setClock(true);
    port->setClock(false);
    EXPECT_EQ(rig.clock().nowNs() - before, 6000u);
    before = rig.clock().nowNs();
    port->setReset(true);  // the third operation finds the port gone
    EXPECT_TRUE(port->failed());
    ASSERT_NE(port->fault(), nullptr);
    EXPECT_EQ(port->fault()->describe(), "COM2: ioctl(TIOCMGET) failed: Input/output error");
    EXPECT_FALSE(port->readLoopBack());
    EXPECT_EQ(rig.clock().nowNs(), before);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);  // RESET never rose
    ui::SystemError error;
    EXPECT_FALSE(rig.serialPorts().open("COM2", result, error));
    EXPECT_EQ(result, SerialOpenResult::CannotOpen);
    EXPECT_EQ(error.describe(), "COM2: open failed: No such file or directory");
}

TEST(ParallelAdapter, DataBitsDriveTheLinesStatusBit6ShowsDataInControlTurnsPinsAround) {
    TestRig rig;
    rig.selectParallel();
    VirtualPortIo& io = rig.portIo();
    rig.trace().clear();
    ASSERT_TRUE(io.writeData(0x378, 0x0B));  // RESET, CLOCK, DATA-OUT high
    const auto& events = rig.trace().events();
    ASSERT_EQ(events.size(), 2u);  // RESET was already high
    EXPECT_EQ(events[0].line, Line::DataOut);
    EXPECT_EQ(events[1].line, Line::Clock);
    EXPECT_LT(events[0].timeNs, events[1].timeNs);  // data settles before the clock edge
    ASSERT_TRUE(io.writeData(0x378, 0x00));
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);

    std::uint16_t word = 0;
    rig.controllerConfig().kind = DeviceKind::NothingAttached;
    for (const bool level : {true, false}) {
        rig.controllerConfig().nothingAttachedLevel = level;
        ASSERT_TRUE(io.readWord(0x378, word));
        EXPECT_EQ(word & 0x40FF, level ? 0x4000 : 0);  // the data register in the low byte
    }
    ASSERT_TRUE(io.writeControl(0x378, 0x2C));  // data pins turned to input
    ASSERT_TRUE(io.writeData(0x378, 0x02));
    EXPECT_FALSE(rig.trace().level(Line::Clock));
    ASSERT_TRUE(io.writeControl(0x378, 0x0C));
    EXPECT_TRUE(rig.trace().level(Line::Clock));  // turned back, at once
    ASSERT_TRUE(io.readWord(0x278, word));
    EXPECT_EQ(word, 0xFFFF);  // no adapter there
}

}  // namespace
}  // namespace sim
