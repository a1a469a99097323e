// The processor service's connection procedure against the virtual processor, on both
// adapters: framing shifts, the locked, erased and silent cases.
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

struct IspRoundTrip : ::testing::TestWithParam<bool> {
    TestRig rig;
    isp::IspState state;
    isp::IspContext ctx{rig.link(), state};
    void SetUp() override {
        if (GetParam()) {
            rig.selectParallel();
        }
    }
    int connect() { return isp::ispConnect(ctx); }
};

TEST_P(IspRoundTrip, InStepProcessorConnectsAtOnce) {
    EXPECT_EQ(connect(), 0) << rig.messageText();
    EXPECT_EQ(state.deviceInfoText,
              "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\nEcho 53 received");
    EXPECT_EQ(rig.controller().mode(), ControllerMode::InReset);
}

TEST_P(IspRoundTrip, FramingOutOfStepIsBroughtIntoStepByExtraPulses) {
    for (int offset : {1, 7, 31}) {
        SCOPED_TRACE(offset);
        rig.ispConfig().frameOffsetBits = offset;
        rig.linkState().ispConnected = false;
        EXPECT_EQ(connect(), 0) << rig.messageText();
        EXPECT_EQ(rig.linkState().partFamily, 0x93);
    }
}

TEST_P(IspRoundTrip, SilentProcessorIsNoConnection) {
    rig.ispConfig().neverEchoes = true;
    EXPECT_EQ(connect(), 1);
    EXPECT_EQ(rig.messageText().rfind("No Connection!\n\n", 0), 0u) << rig.messageText();
}

TEST_P(IspRoundTrip, LockedEveryTimeIsReportedLocked) {
    rig.ispConfig().familyOne = FamilyOneReads::Always;
    EXPECT_EQ(connect(), isp::ispLocked);
    EXPECT_EQ(rig.messageText().rfind("Device locked!\n\n", 0), 0u) << rig.messageText();
}

TEST_P(IspRoundTrip, LockedFirstThenRealFamily) {
    // The first attempt reads the signature, and the decision reads it again: a processor
    // that shows 0x01 only once is accepted there.
    rig.ispConfig().familyOne = FamilyOneReads::Once;
    EXPECT_EQ(connect(), 0) << rig.messageText();

    // Shown twice, the locked retry reads 0x93, which goes on to the unknown-device test only.
    TestRig second;
    second.ispConfig().familyOne = FamilyOneReads::Once;
    second.ispConfig().familyOnePasses = 2;
    isp::IspContext secondCtx{second.link(), state};
    EXPECT_EQ(isp::ispConnect(secondCtx), 1);
    EXPECT_EQ(second.messageText().rfind("Unknown Device Code!\n\n", 0), 0u)
        << second.messageText();
}

TEST_P(IspRoundTrip, ErasedSignatureWarnsAndConnects) {
    rig.ispConfig().signatureErased = true;
    EXPECT_EQ(connect(), 0);
    ASSERT_FALSE(rig.host().messages.empty());
    EXPECT_EQ(rig.host().lastText(), "Device Code erased!\n\n");
}

TEST_P(IspRoundTrip, FuseLockAndCalibrationReads) {
    rig.ispConfig().calibration = 0x9C;
    ASSERT_EQ(connect(), 0) << rig.messageText();
    EXPECT_EQ(isp::ispCommand(rig.link(), 0x58, 0x08, 0x00, 0x00) & 0xFF, 0xD9);
    EXPECT_EQ(isp::ispCommand(rig.link(), 0x50, 0x00, 0x00, 0x00) & 0xFF, 0xE1);
    EXPECT_EQ(isp::ispCommand(rig.link(), 0x58, 0x00, 0x00, 0x00) & 0xFF, 0xFF);
    EXPECT_EQ(isp::ispCommand(rig.link(), 0x38, 0x00, 0x03, 0x00) & 0xFF, 0x9C);
}

TEST(IspThenFirmware, RaisingResetLeavesProgrammingModeForTheFirmware) {
    TestRig rig;
    isp::IspState state;
    isp::IspContext ctx{rig.link(), state};
    ASSERT_EQ(isp::ispConnect(ctx), 0) << rig.messageText();
    adapter::startController(rig.link(), adapter::StartForm::Standard);
    EXPECT_EQ(rig.controller().mode(), ControllerMode::Firmware);
    EXPECT_EQ(clink::probeExchange(rig.link()), 0xFE);
    EXPECT_EQ(clink::writeSetupByte(rig.link(), 15, 0x9C), 0);
    EXPECT_EQ(clink::readSetupByte(rig.link(), 15), 0x9C);
}

INSTANTIATE_TEST_SUITE_P(Adapters, IspRoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Parallel" : "Serial"; });

}  // namespace
}  // namespace sim
