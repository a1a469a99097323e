// Instruction bytes, the Programming Enable echo, the extra CLOCK pulse of the
// resynchronisation and the signature lines, checked on the recorded lines.
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "recorded_isp.h"

namespace isp {
namespace {

using testing::RecordedIsp;

class OnBothAdapters : public ::testing::TestWithParam<adapter::PortKind> {
  protected:
    void SetUp() override {
        if (GetParam() == adapter::PortKind::Parallel) {
            isp.rig.selectParallel();
        } else {
            ASSERT_EQ(adapter::openSerialPort(isp.rig.ctx), 0);
            isp.rig.recorder.clear();
        }
    }
    // The tail of the line changes that one extra CLOCK pulse makes.
    std::vector<std::string> extraPulse() const {
        if (GetParam() == adapter::PortKind::Parallel) {
            return {"wait 2 ms", "data 0x02", "wait 2 ms", "data 0x00", "wait 2 ms"};
        }
        return {"wait 2 ms", "CLOCK high", "wait 2 ms", "CLOCK low", "wait 2 ms"};
    }
    int pulses() const {
        const std::vector<std::string> changes = isp.rig.changes();
        const std::vector<std::string> pulse = extraPulse();
        int count = 0;
        for (std::size_t i = 0; i + pulse.size() <= changes.size(); ++i) {
            if (std::equal(pulse.begin(), pulse.end(), changes.begin() + i)) {
                ++count;
            }
        }
        return count;
    }

    RecordedIsp isp;
};

INSTANTIATE_TEST_SUITE_P(IspCommand, OnBothAdapters,
                         ::testing::Values(adapter::PortKind::Serial, adapter::PortKind::Parallel),
                         [](const auto& info) {
                             return info.param == adapter::PortKind::Serial ? "Serial" : "Parallel";
                         });

TEST_P(OnBothAdapters, InstructionGoesOutAsFourBytesAndAnswersWithTheLastTwo) {
    isp.queueInstruction(0x11, 0x22, 0x33, 0x44);
    EXPECT_EQ(ispCommand(isp.rig.ctx, 0x38, 0x00, 0x03, 0x00), 0x3344);
    EXPECT_EQ(isp.sentBytes(), (std::vector<int>{0x38, 0x00, 0x03, 0x00}));
    EXPECT_EQ(isp.risingEdges(), 32);
    // The first word's answer is kept above the second's.
    EXPECT_EQ(static_cast<std::uint32_t>(isp.rig.state.receiveRegister), 0x11223344u);
}

TEST_P(OnBothAdapters, ProgrammingEnableReturnsTheEchoOfItsSecondByte) {
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    EXPECT_EQ(ispProgrammingEnable(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.rig.state.enableAnswer, 0x5300);
    EXPECT_EQ(isp.sentBytes(), (std::vector<int>{0xAC, 0x53, 0x00, 0x00}));
}

TEST_P(OnBothAdapters, ResyncGivesUpAfterThirtyFiveAttemptsEachWithOnePulse) {
    isp.rig.recorder.idleDataIn = GetParam() == adapter::PortKind::Serial ? 0 : 1;
    EXPECT_NE(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 35 * 33);
    EXPECT_EQ(pulses(), 35);
    EXPECT_EQ(isp.rig.recorder.count("wait 2 ms"), 3 * 35);
    // The pulse after the last failed attempt is still given.
    const std::vector<std::string> changes = isp.rig.changes();
    const std::vector<std::string> pulse = extraPulse();
    ASSERT_GE(changes.size(), pulse.size());
    EXPECT_TRUE(std::equal(pulse.begin(), pulse.end(), changes.end() - 5));
}

TEST_P(OnBothAdapters, ResyncStopsAtTheFirstEchoWithoutAPulseAfterIt) {
    for (int miss = 0; miss < 2; ++miss) {
        isp.queueInstruction(0xFF, 0xFF, 0xFF, 0xFF);
        isp.queueExtraBit();
    }
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 3 * 32 + 2);
    EXPECT_EQ(pulses(), 2);
}

TEST_P(OnBothAdapters, ResyncSendsNothingWhenTheLastProgrammingEnableWasAnswered) {
    isp.rig.state.enableAnswer = 0x5312;
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_TRUE(isp.rig.recorder.events.empty());
}

TEST_P(OnBothAdapters, SignatureReadFillsTheInfoLinesAndThePartFamily) {
    isp.queueInstruction(0, 0, 0, 0x1E);
    isp.queueInstruction(0, 0, 0, 0x93);
    isp.queueInstruction(0, 0, 0, 0x07);
    isp.state.deviceInfoText = "left over";
    EXPECT_EQ(ispReadSignature(isp.ctx), 0x93);
    EXPECT_EQ(isp.rig.state.partFamily, 0x93);
    EXPECT_EQ(isp.state.deviceInfoText,
              "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\nEcho 53 received");
    EXPECT_EQ(isp.sentBytes(), (std::vector<int>{0x30, 0x00, 0x00, 0x00, 0x30, 0x00, 0x01, 0x00,
                                                 0x30, 0x00, 0x02, 0x00}));
}

}  // namespace
}  // namespace isp
