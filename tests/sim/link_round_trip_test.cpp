// The link module against the virtual controller: the two sides were written apart, so
// agreement here means both follow the same protocol.
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "link/link.h"
#include "sim/test_rig.h"

namespace sim {
namespace {

struct LinkRoundTrip : ::testing::TestWithParam<bool> {
    TestRig rig;
    void SetUp() override {
        if (GetParam()) {
            rig.selectParallel();
        }
        ASSERT_EQ(adapter::detectAdapter(rig.link()), 0) << rig.messageText();
        adapter::startController(rig.link(), adapter::StartForm::Standard);
    }
};

TEST_P(LinkRoundTrip, ProbeAndVersion) {
    if (GetParam()) {
        GTEST_SKIP() << "the start sequence drives only the serial lines";
    }
    EXPECT_EQ(clink::probeBootloader(rig.link()), 0);
    EXPECT_EQ(clink::readSetupByte(rig.link(), 32), 0x10);
    EXPECT_EQ(clink::readSetupByte(rig.link(), 33), 0x11);
    EXPECT_EQ(clink::writeSetupByte(rig.link(), 14, 0x1FF), 0);
    EXPECT_EQ(rig.setupMemory()[14], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Adapters, LinkRoundTrip, ::testing::Values(false, true));

}  // namespace
}  // namespace sim
