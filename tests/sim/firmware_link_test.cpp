// The firmware's link rules, driven edge by edge without the link module.
#include <gtest/gtest.h>

#include "bit_banger.h"

namespace sim {
namespace {

using testing::BitBanger;

struct FirmwareLink : ::testing::Test {
    TestRig rig;
    BitBanger pc{rig};
    void SetUp() override { pc.start(); }

    std::uint8_t readSetup(std::uint8_t address) {
        return pc.send({{'U', 10}, {address, 5}, {0, 0}});
    }
    std::uint8_t writeSetup(std::uint8_t address, std::uint8_t value, std::uint64_t storeMs = 25) {
        return pc.send({{'V', 5}, {address, 5}, {value, storeMs}, {0, 0}});
    }
};

TEST_F(FirmwareLink, ProbeIsAnsweredOneByteLaterByEachDeviceKind) {
    struct Case {
        DeviceKind kind;
        bool idleHigh;
        std::uint8_t first, later;
    };
    for (const Case& c : {Case{DeviceKind::ThisController, false, 0x00, 0xFE},
                          Case{DeviceKind::OtherKind, false, 0x00, 0xFD},
                          Case{DeviceKind::NothingAttached, false, 0x00, 0x00},
                          Case{DeviceKind::NothingAttached, true, 0xFF, 0xFF}}) {
        SCOPED_TRACE(static_cast<int>(c.later));
        rig.controllerConfig().kind = c.kind;
        rig.controllerConfig().nothingAttachedLevel = c.idleHigh;
        pc.start();  // the register starts empty
        EXPECT_EQ(pc.exchange(0xFE), c.first);
        EXPECT_EQ(pc.exchange(0xFE), c.later);
        EXPECT_EQ(pc.exchange(0xFE), c.later);
    }
}

TEST_F(FirmwareLink, ReadsWritesAndWritesThatDoNotStick) {
    rig.trace().clear();
    EXPECT_EQ(readSetup(32), 0x10);  // DATA-IN changes only after falling edges
    EXPECT_GE(testing::dataInChangesAfterFallingEdges(rig.trace()), 9);
    EXPECT_EQ(readSetup(33), 0x11);
    EXPECT_EQ(writeSetup(14, 0x2A), 0x2A);
    EXPECT_EQ(rig.setupMemory()[14], 0x2A);
    EXPECT_EQ(readSetup(14), 0x2A);

    rig.controllerConfig().setupWritesStick = false;
    EXPECT_EQ(writeSetup(14, 0x33), 0x2A);  // the read-back shows the old value
    EXPECT_EQ(rig.setupMemory()[14], 0x2A);
}

TEST_F(FirmwareLink, RushedFirmwareShiftsOutTheByteItLastReceived) {
    // A read-back fetched before the byte is stored still shows the value as it came in.
    EXPECT_EQ(writeSetup(14, 0x2A, 5), 0x2A);
    // A rushed page commit shows the "3", not the page number.
    pc.send({{'W', 0}, {7, 0}, {'X', 0}, {'U', 0}, {'3', 5}});
    EXPECT_EQ(pc.exchange('3'), '3');
    // Given its time, the firmware is in step again.
    pc.waitMs(40);
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, AnswerNeedsTheFirmwaresByteTime) {
    rig.controllerConfig().byteResponseNs = 50'000;
    pc.send({{'U', 5}, {32, 0}});
    EXPECT_EQ(pc.exchange(0x00, /*halfBitUs=*/1), 32);  // still the address
    EXPECT_EQ(readSetup(32), 0x10);
}

TEST_F(FirmwareLink, PageIsProgrammedFromItsBuffer) {
    pc.send({{'W', 0}, {3, 0}});
    for (std::uint8_t offset : {0, 63}) {
        const std::uint8_t data = static_cast<std::uint8_t>(0xC0 + offset);
        EXPECT_EQ(pc.send({{'Y', 0}, {offset, 0}, {data, 0}}), offset);
        EXPECT_EQ(pc.exchange(0x00), data);
    }
    pc.send({{'X', 0}, {'U', 0}, {'3', 40}});
    EXPECT_EQ(pc.exchange('3'), 3);

    EXPECT_EQ(rig.flash().byteAt(3 * 64), 0xC0);
    EXPECT_EQ(rig.flash().byteAt(3 * 64 + 1), 0xFF);  // never loaded
    EXPECT_EQ(rig.flash().byteAt(3 * 64 + 63), 0xC0 + 63);
    EXPECT_EQ(rig.flash().byteAt(4 * 64), 0xFF);
    ASSERT_EQ(rig.pageLog().size(), 2u);
    EXPECT_EQ(rig.pageLog()[0].kind, PageLogEntry::Kind::Select);
    EXPECT_EQ(rig.pageLog()[1].kind, PageLogEntry::Kind::Commit);
    EXPECT_EQ(rig.pageLog()[1].page, 3);
}

TEST_F(FirmwareLink, ResetForgetsAHalfReceivedByteAndBootIgnoresTheLink) {
    for (int bit = 0; bit < 3; ++bit) {
        pc.lines().setClock(true);
        pc.lines().setClock(false);
    }
    pc.lines().setReset(false);
    pc.waitMs(1);
    pc.lines().setReset(true);
    pc.exchange(0xFE);  // within the boot time: not seen
    pc.waitMs(10);
    EXPECT_EQ(pc.exchange(0xFE), 0x00);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

}  // namespace
}  // namespace sim
