// The processor's serial programming rules, driven bit by bit without the processor
// service: framing, echo, and the read instructions' answers.
#include <gtest/gtest.h>

#include <array>

#include "bit_banger.h"

namespace sim {
namespace {

using testing::BitBanger;

struct IspSlaveRules : ::testing::Test {
    TestRig rig;
    BitBanger pc{rig};

    // The four answers of one instruction.
    std::array<std::uint8_t, 4> instruction(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                                            std::uint8_t b4) {
        return {pc.exchange(b1), pc.exchange(b2), pc.exchange(b3), pc.exchange(b4)};
    }
    std::uint8_t enable() { return instruction(0xAC, 0x53, 0x00, 0x00)[2]; }
};

TEST_F(IspSlaveRules, EchoesOnlyTheSecondEnableByteDuringTheThird) {
    pc.holdInReset();
    rig.trace().clear();
    const auto answers = instruction(0xAC, 0x53, 0x00, 0x00);
    EXPECT_EQ(answers[2], 0x53);
    EXPECT_TRUE(rig.controller().isp().enabled());
    EXPECT_EQ(testing::dataInChangesAfterFallingEdges(rig.trace()), 6);  // 01010011, then 0
}

TEST_F(IspSlaveRules, ReadInstructionsAnswerInTheFourthByte) {
    rig.ispConfig().signature = {0x1E, 0x91, 0x0A};
    rig.ispConfig().lockBits = 0xFC;
    rig.ispConfig().fuseHigh = 0xC9;
    rig.ispConfig().fuseLow = 0x24;
    rig.ispConfig().calibration = 0x7B;
    pc.holdInReset();
    ASSERT_EQ(enable(), 0x53);
    EXPECT_EQ(instruction(0x30, 0x00, 0x00, 0x00)[3], 0x1E);
    EXPECT_EQ(instruction(0x30, 0x00, 0x01, 0x00)[3], 0x91);
    EXPECT_EQ(instruction(0x30, 0x00, 0x02, 0x00)[3], 0x0A);
    EXPECT_EQ(instruction(0x58, 0x00, 0x00, 0x00)[3], 0xFC);
    EXPECT_EQ(instruction(0x58, 0x08, 0x00, 0x00)[3], 0xC9);
    EXPECT_EQ(instruction(0x50, 0x00, 0x00, 0x00)[3], 0x24);
    EXPECT_EQ(instruction(0x38, 0x00, 0x03, 0x00)[3], 0x7B);
}

TEST_F(IspSlaveRules, ReadsAreIgnoredBeforeProgrammingEnable) {
    pc.holdInReset();
    EXPECT_EQ(instruction(0x30, 0x00, 0x00, 0x00)[3], 0x00);
}

TEST_F(IspSlaveRules, OutOfStepFramingNeedsOneExtraPulsePerBit) {
    for (int offset : {1, 7, 31}) {
        SCOPED_TRACE(offset);
        rig.ispConfig().frameOffsetBits = offset;
        pc.holdInReset();
        pc.lines().setReset(true);  // a short pulse re-enters programming mode afresh
        pc.waitMs(1);
        pc.holdInReset();
        int pulses = 0;
        while (enable() != 0x53 && pulses < 40) {
            pc.pulseClock();
            ++pulses;
        }
        EXPECT_EQ(pulses, 32 - offset);
    }
}

TEST_F(IspSlaveRules, SilentProcessorNeverEchoes) {
    rig.ispConfig().neverEchoes = true;
    pc.holdInReset();
    for (int attempt = 0; attempt < 33; ++attempt) {
        ASSERT_NE(enable(), 0x53);
        pc.pulseClock();
    }
}

TEST_F(IspSlaveRules, LockedAndErasedSignatures) {
    rig.ispConfig().familyOne = FamilyOneReads::Once;
    pc.holdInReset();
    ASSERT_EQ(enable(), 0x53);
    EXPECT_EQ(instruction(0x30, 0x00, 0x01, 0x00)[3], 0x01);
    EXPECT_EQ(instruction(0x30, 0x00, 0x02, 0x00)[3], 0x02);  // ends the locked pass
    EXPECT_EQ(instruction(0x30, 0x00, 0x01, 0x00)[3], 0x93);

    rig.ispConfig().signatureErased = true;
    EXPECT_EQ(instruction(0x30, 0x00, 0x01, 0x00)[3], 0xFF);
}

TEST_F(IspSlaveRules, RaisingResetStartsTheFirmware) {
    pc.holdInReset();
    ASSERT_EQ(enable(), 0x53);
    pc.start();
    pc.exchange(0xFE);
    EXPECT_EQ(pc.exchange(0xFE), 0xFE);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::Firmware);
}

}  // namespace
}  // namespace sim
