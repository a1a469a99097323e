// The virtual adapters' wiring and their faults, seen through the seams the line driver uses.
#include <gtest/gtest.h>

#include "sim/test_rig.h"

namespace sim {
namespace {

std::unique_ptr<adapter::LineAccess> openPort(TestRig& rig, adapter::SerialOpenResult& result,
                                              const std::string& name = "COM2") {
    return rig.serialPorts().open(name, result);
}

TEST(SerialAdapter, DsrFollowsDtrOnlyWithAWorkingAdapterOnThatPort) {
    TestRig rig;
    rig.serialConfig().adapterPort = "COM2";
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    auto other = openPort(rig, result, "COM1");
    ASSERT_TRUE(port && other);
    for (bool dtr : {true, false}) {
        port->setDataOut(dtr);
        EXPECT_EQ(port->readLoopBack(), dtr);
    }
    other->setDataOut(true);
    EXPECT_FALSE(other->readLoopBack());
    rig.serialConfig().loopBack = LoopBack::StuckOn;
    EXPECT_TRUE(port->readLoopBack());
    rig.serialConfig().loopBack = LoopBack::Missing;
    port->setDataOut(true);
    EXPECT_FALSE(port->readLoopBack());
}

TEST(SerialAdapter, OperationsCostTimeAVanishedPortStaysDeadUntilReplugged) {
    TestRig rig;
    rig.serialConfig().opCostNs = 3000;
    rig.serialConfig().vanishAfterOps = 3;
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    ASSERT_TRUE(port);
    std::uint64_t before = rig.clock().nowNs();
    port->setClock(true);
    port->setClock(false);
    port->setDataOut(true);
    EXPECT_EQ(rig.clock().nowNs() - before, 9000u);
    EXPECT_FALSE(port->failed());

    before = rig.clock().nowNs();
    port->setReset(true);  // the fourth operation finds the port gone
    EXPECT_TRUE(port->failed());
    EXPECT_EQ(port->readDataIn(), 0);
    EXPECT_FALSE(port->readLoopBack());
    EXPECT_EQ(rig.clock().nowNs(), before);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);  // RESET never rose
    EXPECT_FALSE(openPort(rig, result));
    EXPECT_EQ(result, adapter::SerialOpenResult::CannotOpen);

    rig.serialPorts().replug();
    auto again = openPort(rig, result);
    ASSERT_TRUE(again);
    again->setDataOut(true);
    EXPECT_TRUE(again->readLoopBack());
    EXPECT_FALSE(again->failed());
    EXPECT_TRUE(port->failed());  // the old handle stays dead

    rig.serialConfig().openResult = adapter::SerialOpenResult::CannotWriteTimeouts;
    EXPECT_FALSE(openPort(rig, result));
    EXPECT_EQ(result, adapter::SerialOpenResult::CannotWriteTimeouts);
}

struct ParallelAdapter : ::testing::Test {
    TestRig rig;
    VirtualPortIo& io = rig.portIo();
    std::uint16_t word = 0x1234;
    void SetUp() override { rig.selectParallel(); }
};

TEST_F(ParallelAdapter, DataBitsDriveTheLinesAndStatusBit6ShowsDataIn) {
    rig.trace().clear();
    ASSERT_TRUE(io.writeData(0x378, 0x0B));  // RESET, CLOCK, DATA-OUT high
    EXPECT_TRUE(rig.trace().level(Line::Reset));
    const auto& events = rig.trace().events();
    ASSERT_EQ(events.size(), 2u);  // RESET was already high
    EXPECT_EQ(events[0].line, Line::DataOut);
    EXPECT_EQ(events[1].line, Line::Clock);
    EXPECT_TRUE(events[0].high && events[1].high);
    EXPECT_LT(events[0].timeNs, events[1].timeNs);  // data settles before the clock edge
    ASSERT_TRUE(io.writeData(0x378, 0x00));
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);

    rig.controllerConfig().kind = DeviceKind::NothingAttached;
    rig.controllerConfig().nothingAttachedLevel = true;
    ASSERT_TRUE(io.readWord(0x378, word));
    EXPECT_EQ(word & 0x40FF, 0x4000);  // the data register in the low byte
    rig.controllerConfig().nothingAttachedLevel = false;
    ASSERT_TRUE(io.readWord(0x378, word));
    EXPECT_EQ(word & 0x4000, 0);
}

TEST_F(ParallelAdapter, ControlRegisterTurnsTheDataPinsAroundAndOtherPortsReadOnes) {
    std::uint8_t control = 0;
    ASSERT_TRUE(io.writeControl(0x378, 0x2C));
    ASSERT_TRUE(io.readControl(0x378, control));
    EXPECT_EQ(control, 0x2C);
    ASSERT_TRUE(io.writeData(0x378, 0x02));
    EXPECT_FALSE(rig.trace().level(Line::Clock));
    ASSERT_TRUE(io.writeControl(0x378, 0x0C));
    EXPECT_TRUE(rig.trace().level(Line::Clock));  // turned back, at once

    ASSERT_TRUE(io.writeData(0x278, 0x08));
    ASSERT_TRUE(io.readWord(0x278, word));
    EXPECT_EQ(word, 0xFFFF);
}

TEST_F(ParallelAdapter, MissingDriverFailsEveryCall) {
    rig.parallelConfig().driverMissing = true;
    std::uint8_t control = 0;
    EXPECT_FALSE(io.writeData(0x378, 0x08));
    EXPECT_FALSE(io.readWord(0x378, word));
    EXPECT_FALSE(io.readControl(0x378, control));
    EXPECT_FALSE(io.writeControl(0x378, 0));
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(io.operationCount(), 0u);
}

TEST_F(ParallelAdapter, SerialLinesNoLongerReachTheController) {
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    ASSERT_TRUE(port);
    port->setReset(false);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::Firmware);
}

}  // namespace
}  // namespace sim
