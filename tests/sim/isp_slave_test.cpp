// The processor's serial programming rules, driven bit by bit without the processor service.
#include <gtest/gtest.h>

#include <array>

#include "bit_banger.h"

namespace sim {
namespace {

using testing::BitBanger;

struct IspSlave : ::testing::Test {
    TestRig rig;
    BitBanger pc{rig};
    void SetUp() override { pc.holdInReset(); }

    // Four bytes out; the answer during byte n.
    std::uint8_t instruction(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, int n = 4) {
        const std::array<std::uint8_t, 4> in{pc.exchange(b1), pc.exchange(b2), pc.exchange(b3),
                                             pc.exchange(0x00)};
        return in[n - 1];
    }
    std::uint8_t read(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
        return instruction(b1, b2, b3);
    }
    std::uint8_t enable() { return instruction(0xAC, 0x53, 0x00, 3); }
};

TEST_F(IspSlave, EchoesTheSecondEnableByteThenAnswersReadsInTheFourth) {
    EXPECT_EQ(read(0x30, 0x00, 0x00), 0x00);  // ignored before programming enable
    rig.ispConfig() = {.signature = {0x1E, 0x91, 0x0A},
                       .lockBits = 0xFC,
                       .fuseHigh = 0xC9,
                       .fuseLow = 0x24,
                       .calibration = 0x7B};
    rig.trace().clear();
    ASSERT_EQ(enable(), 0x53);
    EXPECT_EQ(testing::dataInChangesAfterFallingEdges(rig.trace()), 6);  // 01010011, then 0
    const std::array<std::uint8_t, 4> cases[] = {
        {0x30, 0x00, 0x02, 0x0A}, {0x58, 0x00, 0x00, 0xFC}, {0x58, 0x08, 0x00, 0xC9},
        {0x50, 0x00, 0x00, 0x24}, {0x38, 0x00, 0x03, 0x7B},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c[0], c[1], c[2]), c[3]) << std::hex << int(c[0]) << " " << int(c[1]);
    }
}

TEST_F(IspSlave, OutOfStepFramingNeedsOneExtraPulsePerBitASilentOneNeverEchoes) {
    for (const auto& [offset, silent] : {std::pair{1, false}, {31, false}, {0, true}}) {
        SCOPED_TRACE(offset);
        rig.ispConfig().frameOffsetBits = offset;
        rig.ispConfig().neverEchoes = silent;
        pc.lines().setReset(true);  // a short pulse re-enters programming mode afresh
        pc.waitMs(1);
        pc.holdInReset();
        int pulses = 0;
        while (enable() != 0x53 && pulses < 40) {
            pc.pulseClock();
            ++pulses;
        }
        EXPECT_EQ(pulses, silent ? 40 : 32 - offset);
    }
}

TEST_F(IspSlave, LockedOnceThenRealFamilyThenErased) {
    rig.ispConfig().familyOne = FamilyOneReads::Once;
    ASSERT_EQ(enable(), 0x53);
    EXPECT_EQ(read(0x30, 0x00, 0x01), 0x01);
    EXPECT_EQ(read(0x30, 0x00, 0x02), 0x02);  // ends the locked pass
    EXPECT_EQ(read(0x30, 0x00, 0x01), 0x93);
    rig.ispConfig().signatureErased = true;
    EXPECT_EQ(read(0x30, 0x00, 0x01), 0xFF);
}

}  // namespace
}  // namespace sim
