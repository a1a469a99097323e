// ispConnect on the recorded lines: how many resets and instructions each way in takes,
// and that no answer pattern, stuck line or lost port gets it lost or past its bounds.
#include <gtest/gtest.h>

#include <random>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "recorded_isp.h"

namespace isp {
namespace {

using testing::RecordedIsp;

// 73 Programming Enables at most, 35 extra pulses after each of the two resyncs.
constexpr int mostEdgesWithoutEcho = 73 * 32 + 2 * 35;
// ...and then two signature reads of three instructions at most, with a reset between.
constexpr int mostEdges = mostEdgesWithoutEcho + 32 + 6 * 3 * 32;

void queueInStepProcessor(RecordedIsp& isp, int family) {
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    isp.queueInstruction(0, 0, 0, 0x1E);
    isp.queueInstruction(0, 0, 0, family);
    isp.queueInstruction(0, 0, 0, 0x07);
}

// Read twice: once on the first attempt, once after the second reset.
void queueErasedProcessor(RecordedIsp& isp) {
    queueInStepProcessor(isp, 0xFF);
    queueInStepProcessor(isp, 0xFF);
}

TEST(IspConnect, LockedFirstThenAcceptedFamilyOnTheRetryIsUnknown) {
    RecordedIsp isp;
    queueInStepProcessor(isp, 0x01);
    queueInStepProcessor(isp, 0x01);  // after the second reset
    queueInStepProcessor(isp, 0x93);  // the locked retry: only erased or unknown remain
    EXPECT_EQ(ispConnect(isp.ctx), 1);
    EXPECT_EQ(isp.rig.messageText,
              "Unknown Device Code!\n\nVendor Code: 1E\nPart Family: 93\nPart Number: 07\n"
              "Echo 53 received");
    EXPECT_FALSE(isp.rig.state.ispConnected);
    EXPECT_EQ(isp.rig.recorder.count("RESET high"), 3);
}

class StuckDataIn : public ::testing::TestWithParam<std::tuple<adapter::PortKind, int>> {};

INSTANTIATE_TEST_SUITE_P(IspConnect, StuckDataIn,
                         ::testing::Combine(::testing::Values(adapter::PortKind::Serial,
                                                              adapter::PortKind::Parallel),
                                            ::testing::Values(0, 1)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == adapter::PortKind::Serial
                                                    ? "Serial"
                                                    : "Parallel") +
                                    (std::get<1>(info.param) != 0 ? "High" : "Low");
                         });

TEST_P(StuckDataIn, EndsAsNoConnectionAfterBothResyncs) {
    RecordedIsp isp;
    if (std::get<0>(GetParam()) == adapter::PortKind::Parallel) {
        isp.rig.selectParallel();
    }
    isp.rig.recorder.idleDataIn = std::get<1>(GetParam());
    EXPECT_EQ(ispConnect(isp.ctx), 1);
    EXPECT_EQ(isp.rig.messageText, "No Connection!\n\n");
    EXPECT_FALSE(isp.rig.state.ispConnected);
    EXPECT_EQ(isp.risingEdges(), mostEdgesWithoutEcho);
    // One short, one short, one long and one short reset.
    EXPECT_EQ(isp.rig.recorder.count("wait 200 ms"), 1);
}

TEST(IspConnect, RandomAnswersEndInOneOfTheOutcomesWithinTheBounds) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        RecordedIsp isp;
        std::mt19937 random(seed);
        for (int bit = 0; bit < mostEdges + 64; ++bit) {
            isp.rig.recorder.answerBits.push_back(static_cast<int>(random() & 1));
        }
        // Every fourth run: the Programming Enable echoes at once, so the signature decides.
        if (seed % 4 == 0) {
            isp.rig.recorder.answerBits.clear();
            isp.queueInstruction(0, 0xAC, 0x53, 0);
            for (int bit = 0; bit < mostEdges; ++bit) {
                isp.rig.recorder.answerBits.push_back(static_cast<int>(random() & 1));
            }
        }
        const int result = ispConnect(isp.ctx);
        EXPECT_LE(isp.risingEdges(), mostEdges);
        const std::string& text = isp.rig.messageText;
        switch (result) {
            case 0: {
                const int family = isp.rig.state.partFamily;
                EXPECT_TRUE((family >= 0x90 && family <= 0x94) || family == 0xFF) << family;
                break;
            }
            case 1:
                EXPECT_TRUE(text.rfind("No Connection!\n\n", 0) == 0 ||
                            text.rfind("Unknown Device Code!\n\n", 0) == 0)
                    << text;
                break;
            case 2:
                EXPECT_EQ(text.rfind("Device locked!\n\n", 0), 0u) << text;
                break;
            default:
                ADD_FAILURE() << result;
        }
    }
}

// The port is unplugged after failAfter operations and cannot be opened again.
int connectOverVanishingPort(RecordedIsp& isp, int failAfter) {
    queueErasedProcessor(isp);
    EXPECT_EQ(adapter::openSerialPort(isp.rig.ctx), 0);
    isp.rig.serialPorts.nextResult = adapter::SerialOpenResult::CannotOpen;
    isp.rig.recorder.serialFailAfter = failAfter;
    return ispConnect(isp.ctx);
}

TEST(IspConnect, AnswersFromAPortThatVanishedNeverCountAsAConnection) {
    int operations = 0;
    {
        RecordedIsp isp;
        ASSERT_EQ(connectOverVanishingPort(isp, -1), 0);
        EXPECT_EQ(isp.rig.host.lastText(), "Device Code erased!\n\n");
        operations = isp.rig.recorder.operations - isp.rig.serialPorts.opens;
    }
    for (int failAfter = 0; failAfter < operations; failAfter += operations / 23 + 1) {
        SCOPED_TRACE(failAfter);
        RecordedIsp isp;
        EXPECT_EQ(connectOverVanishingPort(isp, failAfter), 1);
        EXPECT_TRUE(isp.rig.host.messages.empty()) << isp.rig.host.lastText();
    }
}

TEST(IspConnect, ParallelDriverFailureIsReportedOnceAndFails) {
    RecordedIsp isp;
    isp.rig.selectParallel(false);
    isp.rig.recorder.portIoFails = true;
    EXPECT_EQ(ispConnect(isp.ctx), 1);
    ASSERT_EQ(isp.rig.host.messages.size(), 1u);
    EXPECT_EQ(isp.rig.host.lastText(), "Error during driver access!");
    EXPECT_TRUE(isp.mainDialog.ended());
}

}  // namespace
}  // namespace isp
