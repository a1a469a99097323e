// The virtual adapters' wiring and their faults, seen through the seams the line driver uses.
#include <gtest/gtest.h>

#include "sim/test_rig.h"

namespace sim {
namespace {

std::unique_ptr<adapter::LineAccess> openPort(TestRig& rig, adapter::SerialOpenResult& result,
                                              const std::string& name = "COM2") {
    return rig.serialPorts().open(name, result);
}

TEST(SerialAdapter, DsrFollowsDtrUnlessTheAdapterIsMissingOrStuck) {
    TestRig rig;
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    ASSERT_TRUE(port);
    port->setDataOut(true);
    EXPECT_TRUE(port->readLoopBack());
    port->setDataOut(false);
    EXPECT_FALSE(port->readLoopBack());

    rig.serialConfig().loopBack = LoopBack::StuckOn;
    EXPECT_TRUE(port->readLoopBack());

    rig.serialConfig().loopBack = LoopBack::Missing;
    port->setDataOut(true);
    EXPECT_FALSE(port->readLoopBack());
}

TEST(SerialAdapter, AnotherPortHasNoAdapter) {
    TestRig rig;
    rig.serialConfig().adapterPort = "COM2";
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result, "COM1");
    ASSERT_TRUE(port);
    port->setDataOut(true);
    EXPECT_FALSE(port->readLoopBack());
}

TEST(SerialAdapter, OpeningFailsWithTheChosenReason) {
    TestRig rig;
    rig.serialConfig().openResult = adapter::SerialOpenResult::CannotWriteTimeouts;
    adapter::SerialOpenResult result{};
    EXPECT_FALSE(openPort(rig, result));
    EXPECT_EQ(result, adapter::SerialOpenResult::CannotWriteTimeouts);
}

TEST(SerialAdapter, VanishedPortStaysDeadUntilReplugged) {
    TestRig rig;
    rig.serialConfig().vanishAfterOps = 3;
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    ASSERT_TRUE(port);
    port->setClock(true);
    port->setClock(false);
    port->setDataOut(true);
    EXPECT_FALSE(port->failed());
    const std::uint64_t before = rig.clock().nowNs();
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
}

TEST(SerialAdapter, EachOperationCostsItsTime) {
    TestRig rig;
    rig.serialConfig().opCostNs = 3000;
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    const std::uint64_t before = rig.clock().nowNs();
    port->setClock(true);
    port->readDataIn();
    EXPECT_EQ(rig.clock().nowNs() - before, 6000u);
}

TEST(ParallelAdapter, DataBitsDriveTheLinesAndStatusBit6ShowsDataIn) {
    TestRig rig;
    rig.selectParallel();
    VirtualPortIo& io = rig.portIo();
    ASSERT_TRUE(io.writeData(0x378, 0x0B));  // RESET, CLOCK, DATA-OUT high
    EXPECT_TRUE(rig.trace().level(Line::Reset));
    EXPECT_TRUE(rig.trace().level(Line::Clock));
    EXPECT_TRUE(rig.trace().level(Line::DataOut));
    ASSERT_TRUE(io.writeData(0x378, 0x00));
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);

    std::uint16_t word = 0;
    rig.controllerConfig().kind = DeviceKind::NothingAttached;
    rig.controllerConfig().nothingAttachedLevel = true;
    ASSERT_TRUE(io.readWord(0x378, word));
    EXPECT_EQ(word & 0x4000, 0x4000);
    EXPECT_EQ(word & 0xFF, 0x00);  // the data register in the low byte
    rig.controllerConfig().nothingAttachedLevel = false;
    ASSERT_TRUE(io.readWord(0x378, word));
    EXPECT_EQ(word & 0x4000, 0);
}

TEST(ParallelAdapter, DataWrittenWithTheClockEdgeSettlesBeforeIt) {
    TestRig rig;
    rig.selectParallel();
    rig.trace().clear();
    ASSERT_TRUE(rig.portIo().writeData(0x378, 0x0B));
    const auto& events = rig.trace().events();
    ASSERT_EQ(events.size(), 2u);  // RESET was already high
    EXPECT_EQ(events[0].line, Line::DataOut);
    EXPECT_EQ(events[1].line, Line::Clock);
    EXPECT_LT(events[0].timeNs, events[1].timeNs);
}

TEST(ParallelAdapter, ControlRegisterAndOtherPorts) {
    TestRig rig;
    rig.selectParallel();
    VirtualPortIo& io = rig.portIo();
    std::uint8_t control = 0;
    ASSERT_TRUE(io.writeControl(0x378, 0x2C));
    ASSERT_TRUE(io.readControl(0x378, control));
    EXPECT_EQ(control, 0x2C);
    // Turned around, the data pins do not drive the lines; turned back, they do at once.
    ASSERT_TRUE(io.writeData(0x378, 0x02));
    EXPECT_FALSE(rig.trace().level(Line::Clock));
    ASSERT_TRUE(io.writeControl(0x378, 0x0C));
    EXPECT_TRUE(rig.trace().level(Line::Clock));

    std::uint16_t word = 0;
    ASSERT_TRUE(io.writeData(0x278, 0x08));
    ASSERT_TRUE(io.readWord(0x278, word));
    EXPECT_EQ(word, 0xFFFF);
}

TEST(ParallelAdapter, MissingDriverFailsEveryCall) {
    TestRig rig;
    rig.selectParallel();
    rig.parallelConfig().driverMissing = true;
    VirtualPortIo& io = rig.portIo();
    std::uint16_t word = 0x1234;
    std::uint8_t control = 0;
    EXPECT_FALSE(io.writeData(0x378, 0x08));
    EXPECT_FALSE(io.readWord(0x378, word));
    EXPECT_FALSE(io.readControl(0x378, control));
    EXPECT_FALSE(io.writeControl(0x378, 0));
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(io.operationCount(), 0u);
}

TEST(ParallelAdapter, SerialLinesDoNotReachTheControllerOnTheParallelAdapter) {
    TestRig rig;
    rig.selectParallel();
    adapter::SerialOpenResult result{};
    auto port = openPort(rig, result);
    ASSERT_TRUE(port);
    port->setReset(false);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::Firmware);
}

}  // namespace
}  // namespace sim
