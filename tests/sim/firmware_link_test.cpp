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

}  // namespace
}  // namespace sim
