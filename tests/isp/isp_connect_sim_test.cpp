// ispConnect against the virtual processor on both adapters: how many resets, enables
// and extra pulses each case takes, and what it leaves in messageText.
#include <gtest/gtest.h>

#include "isp/isp_access.h"
#include "sim_isp.h"

namespace isp {
namespace {

using testing::AdapterKind;
using testing::SimIsp;

constexpr int instructionPulses = 32;

std::string signatureLines(const char* vendor, const char* family, const char* part) {
    return std::string("Vendor Code: ") + vendor + "\nPart Family: " + family +
           "\nPart Number: " + part + "\nEcho 53 received";
}

class Connect : public ::testing::TestWithParam<AdapterKind> {
  protected:
    SimIsp isp{GetParam()};
    sim::IspConfig& processor() { return isp.rig.ispConfig(); }
    int connect() { return ispConnect(isp.ctx); }
};

INSTANTIATE_TEST_SUITE_P(IspConnect, Connect,
                         ::testing::Values(AdapterKind::Serial, AdapterKind::Parallel),
                         [](const auto& info) { return testing::adapterName(info.param); });

TEST_P(Connect, InStepProcessorAfterOneResetOneEnableAndThreeSignatureReads) {
    EXPECT_EQ(connect(), 0) << isp.rig.messageText();
    EXPECT_EQ(isp.resets(), 1);
    EXPECT_EQ(isp.clockPulses(), 4 * instructionPulses);
    EXPECT_EQ(isp.state.deviceInfoText, signatureLines("1E", "93", "07"));
    EXPECT_TRUE(isp.rig.linkState().ispConnected);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
    EXPECT_TRUE(isp.messages().empty());
}

TEST_P(Connect, AcceptsFamilies90To94Only) {
    for (int family : {0x8F, 0x90, 0x94, 0x95}) {
        SCOPED_TRACE(family);
        SimIsp fresh{GetParam()};
        fresh.rig.ispConfig().signature[1] = static_cast<std::uint8_t>(family);
        const int result = ispConnect(fresh.ctx);
        if (family == 0x8F || family == 0x95) {
            EXPECT_EQ(result, 1);
            char lines[80];
            std::snprintf(lines, sizeof lines, "%02X", family);
            EXPECT_EQ(fresh.rig.messageText(),
                      "Unknown Device Code!\n\n" + signatureLines("1E", lines, "07"));
            EXPECT_FALSE(fresh.rig.linkState().ispConnected);
            // The first attempt had the echo, so only the one reset more.
            EXPECT_EQ(fresh.resets(), 2);
        } else {
            EXPECT_EQ(result, 0) << fresh.rig.messageText();
        }
    }
}

TEST_P(Connect, SilentProcessorIsNoConnectionAfterTwoResyncs) {
    processor().neverEchoes = true;
    EXPECT_EQ(connect(), 1);
    EXPECT_EQ(isp.rig.messageText(), "No Connection!\n\n");
    EXPECT_FALSE(isp.rig.linkState().ispConnected);
    // 73 enables; 35 extra pulses in each of the two resyncs.
    EXPECT_EQ(isp.clockPulses(), 73 * instructionPulses + 2 * resyncAttempts);
    EXPECT_EQ(isp.resets(), 4);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
}

TEST_P(Connect, FramingOutOfStepIsBroughtIntoStepByExtraPulses) {
    for (int offset : {1, 7, 31}) {
        SCOPED_TRACE(offset);
        SimIsp fresh{GetParam()};
        fresh.rig.ispConfig().frameOffsetBits = offset;
        EXPECT_EQ(ispConnect(fresh.ctx), 0) << fresh.rig.messageText();
        EXPECT_EQ(fresh.state.deviceInfoText, signatureLines("1E", "93", "07"));
        // Two enables out of step, then one more with an extra pulse after it for every
        // bit the processor is ahead, then the one in step and the signature.
        const int pulses = 32 - offset;
        EXPECT_EQ(fresh.clockPulses(),
                  2 * instructionPulses + pulses * (instructionPulses + 1) + 4 * instructionPulses);
        EXPECT_EQ(fresh.resets(), 2);
    }
}

TEST_P(Connect, ProcessorConnectedBeforeIsNotResynchronisedAfterTheSecondReset) {
    processor().frameOffsetBits = 1;
    isp.rig.linkState().ispConnected = true;
    // The long reset's resync finds the step instead.
    EXPECT_EQ(connect(), 0) << isp.rig.messageText();
    EXPECT_EQ(isp.resets(), 4);
    EXPECT_EQ(isp.clockPulses(),
              3 * instructionPulses + 31 * (instructionPulses + 1) + 4 * instructionPulses);
}

TEST_P(Connect, LockedTwiceIsReportedLocked) {
    processor().familyOne = sim::FamilyOneReads::Always;
    EXPECT_EQ(connect(), ispLocked);
    EXPECT_EQ(isp.rig.messageText(), "Device locked!\n\n" + signatureLines("00", "01", "02"));
    EXPECT_TRUE(isp.rig.linkState().ispConnected);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
}

TEST_P(Connect, ErasedSignatureWarnsWithoutOwnerAndConnects) {
    processor().signatureErased = true;
    EXPECT_EQ(connect(), 0);
    ASSERT_EQ(isp.messages().size(), 1u);
    EXPECT_EQ(isp.messages()[0].text, "Device Code erased!\n\n");
    EXPECT_EQ(isp.messages()[0].caption, "Warning:");
    EXPECT_EQ(isp.messages()[0].ownerId, 0);
    EXPECT_EQ(isp.messages()[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(isp.state.deviceInfoText, signatureLines("FF", "FF", "FF"));
}

}  // namespace
}  // namespace isp
