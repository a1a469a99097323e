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
        pc.exchange('U');
        pc.waitMs(10);
        pc.exchange(address);
        pc.waitMs(5);
        return pc.exchange(0x00);
    }
    std::uint8_t writeSetup(std::uint8_t address, std::uint8_t value,
                            std::uint64_t storeWaitMs = 25) {
        pc.exchange('V');
        pc.waitMs(5);
        pc.exchange(address);
        pc.waitMs(5);
        pc.exchange(value);
        pc.waitMs(storeWaitMs);
        return pc.exchange(0x00);
    }
};

TEST_F(FirmwareLink, ProbeIsAnsweredOneByteLater) {
    EXPECT_EQ(pc.exchange(0xFE), 0x00);  // nothing sent before: the register is empty
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, OtherKindAnswersFD) {
    rig.controllerConfig().kind = DeviceKind::OtherKind;
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFD);
}

TEST_F(FirmwareLink, ReadsVersionBytes) {
    EXPECT_EQ(readSetup(32), 0x10);
    EXPECT_EQ(readSetup(33), 0x11);
    EXPECT_EQ(readSetup(12), 0x66);
}

TEST_F(FirmwareLink, WriteIsStoredAndReadBack) {
    EXPECT_EQ(writeSetup(14, 0x2A), 0x2A);
    EXPECT_EQ(rig.setupMemory()[14], 0x2A);
    EXPECT_EQ(readSetup(14), 0x2A);
}

TEST_F(FirmwareLink, WritesThatDoNotStickReadBackTheOldValue) {
    rig.controllerConfig().setupWritesStick = false;
    EXPECT_EQ(writeSetup(14, 0x2A), 10);
    EXPECT_EQ(rig.setupMemory()[14], 10);
}

TEST_F(FirmwareLink, RushedFirmwareShiftsOutTheByteItLastReceived) {
    // Fetching the read-back before the byte is stored: the register still holds the value
    // byte as it came in, which the PC cannot tell from a good read-back.
    EXPECT_EQ(writeSetup(14, 0x2A, 5), 0x2A);
    // Rushing the page commit shows: the register holds the "3", not the page number.
    pc.exchange('W');
    pc.exchange(7);
    pc.exchange('X');
    pc.exchange('U');
    pc.exchange('3');
    pc.waitMs(5);
    EXPECT_EQ(pc.exchange('3'), '3');
    // Given its time, the firmware is in step again.
    pc.waitMs(40);
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, AnswerNeedsTheFirmwaresByteTime) {
    rig.controllerConfig().byteResponseNs = 50'000;
    pc.exchange('U');
    pc.waitMs(5);
    pc.exchange(32);
    // The next byte starts a few microseconds later: the register still holds the address.
    EXPECT_EQ(pc.exchange(0x00, /*halfBitUs=*/1), 32);
    EXPECT_EQ(readSetup(32), 0x10);
}

TEST_F(FirmwareLink, PageIsProgrammedFromItsBuffer) {
    pc.exchange('W');
    pc.exchange(3);
    for (std::uint8_t offset : {0, 63}) {
        const std::uint8_t data = static_cast<std::uint8_t>(0xC0 + offset);
        pc.exchange('Y');
        pc.exchange(offset);
        EXPECT_EQ(pc.exchange(data), offset);
        EXPECT_EQ(pc.exchange(0x00), data);
    }
    pc.exchange('X');
    pc.exchange('U');
    pc.exchange('3');
    pc.waitMs(40);
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

TEST_F(FirmwareLink, NothingAttachedShowsTheIdleLevel) {
    rig.controllerConfig().kind = DeviceKind::NothingAttached;
    EXPECT_EQ(pc.exchange(0xFE), 0x00);
    EXPECT_EQ(pc.exchange(0xFE), 0x00);
    rig.controllerConfig().nothingAttachedLevel = true;
    EXPECT_EQ(pc.exchange(0xFE), 0xFF);
}

TEST_F(FirmwareLink, ResetForgetsAHalfReceivedByte) {
    for (int bit = 0; bit < 3; ++bit) {
        pc.lines().setClock(true);
        pc.lines().setClock(false);
    }
    pc.start();
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, IgnoresTheLinkWhileBooting) {
    pc.lines().setReset(false);
    pc.waitMs(1);
    pc.lines().setReset(true);
    pc.exchange(0xFE);  // before the boot time is over: not seen
    pc.waitMs(10);
    EXPECT_EQ(pc.exchange(0xFE), 0x00);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
}

TEST_F(FirmwareLink, DataInChangesOnlyAfterFallingEdges) {
    rig.trace().clear();
    pc.exchange('U');  // echoed as 01010101 during the next byte
    pc.exchange(4);
    EXPECT_EQ(pc.exchange(0x00), 0xD0);
    EXPECT_GE(testing::dataInChangesAfterFallingEdges(rig.trace()), 9);
}

}  // namespace
}  // namespace sim
