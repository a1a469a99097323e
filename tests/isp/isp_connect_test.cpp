// ispConnect against the virtual processor on both adapters: the outcome, the resets and
// CLOCK pulses each way in takes, and what it leaves in messageText.
#include <gtest/gtest.h>

#include <functional>

#include "isp/isp_access.h"
#include "sim_isp.h"

namespace isp {
namespace {

using testing::AdapterKind;
using testing::SimIsp;

std::string signatureLines(const std::string& bytes) {
    return "Vendor Code: " + bytes.substr(0, 2) + "\nPart Family: " + bytes.substr(3, 2) +
           "\nPart Number: " + bytes.substr(6, 2) + "\nEcho 53 received";
}

// Two enables out of step, one more with an extra pulse after it for every bit the
// processor is ahead, then the one in step and the signature.
constexpr int outOfStepPulses(int offset) {
    return 2 * 32 + (32 - offset) * 33 + 4 * 32;
}

class Connect : public ::testing::TestWithParam<AdapterKind> {};

INSTANTIATE_TEST_SUITE_P(IspConnect, Connect,
                         ::testing::Values(AdapterKind::Serial, AdapterKind::Parallel),
                         [](const auto& info) { return testing::adapterName(info.param); });

TEST_P(Connect, OutcomesResetsAndPulses) {
    const auto family = [](int value) {
        return [value](SimIsp& isp) {
            isp.rig.ispConfig().signature[1] = static_cast<std::uint8_t>(value);
        };
    };
    const auto offset = [](int bits) {
        return [bits](SimIsp& isp) { isp.rig.ispConfig().frameOffsetBits = bits; };
    };
    const struct {
        const char* name;
        std::function<void(SimIsp&)> configure;
        int result;
        std::string failure;    // messageText without the signature lines
        std::string signature;  // the last one read; empty: none
        int resets;
        int pulses;  // 0: not counted
    } cases[] = {
        {"in step", [](SimIsp&) {}, 0, "", "1E 93 07", 1, 4 * 32},
        {"family 90", family(0x90), 0, "", "1E 90 07", 1, 4 * 32},
        {"family 94", family(0x94), 0, "", "1E 94 07", 1, 4 * 32},
        // The first attempt had the echo, so only one reset more.
        {"family 8F", family(0x8F), 1, "Unknown Device Code!\n\n", "1E 8F 07", 2, 0},
        {"family 95", family(0x95), 1, "Unknown Device Code!\n\n", "1E 95 07", 2, 0},
        // 73 enables; 35 extra pulses in each of the two resyncs.
        {"silent", [](SimIsp& isp) { isp.rig.ispConfig().neverEchoes = true; }, 1,
         "No Connection!\n\n", "", 4, 73 * 32 + 2 * 35},
        {"locked twice",
         [](SimIsp& isp) { isp.rig.ispConfig().familyOne = sim::FamilyOneReads::Always; },
         ispLocked, "Device locked!\n\n", "00 01 02", 3, 0},
        {"locked once, then 93",
         [](SimIsp& isp) {
             isp.rig.ispConfig().familyOne = sim::FamilyOneReads::Once;
             isp.rig.ispConfig().familyOnePasses = 2;
         },
         1, "Unknown Device Code!\n\n", "1E 93 07", 3, 0},
        {"erased", [](SimIsp& isp) { isp.rig.ispConfig().signatureErased = true; }, 0, "",
         "FF FF FF", 2, 0},
        {"1 bit out of step", offset(1), 0, "", "1E 93 07", 2, outOfStepPulses(1)},
        {"7 bits out of step", offset(7), 0, "", "1E 93 07", 2, outOfStepPulses(7)},
        {"31 bits out of step", offset(31), 0, "", "1E 93 07", 2, outOfStepPulses(31)},
        // Connected before: not resynchronised after the second reset; the long reset's
        // resync finds the step instead.
        {"connected before, out of step",
         [](SimIsp& isp) {
             isp.rig.ispConfig().frameOffsetBits = 1;
             isp.rig.linkState().ispConnected = true;
         },
         0, "", "1E 93 07", 4, 3 * 32 + 31 * 33 + 4 * 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimIsp isp{GetParam()};
        c.configure(isp);
        EXPECT_EQ(ispConnect(isp.ctx), c.result) << isp.rig.messageText();
        const std::string lines = c.signature.empty() ? "" : signatureLines(c.signature);
        EXPECT_EQ(isp.state.deviceInfoText, lines);
        if (c.result != 0) {
            EXPECT_EQ(isp.rig.messageText(), c.failure + lines);
        }
        EXPECT_EQ(isp.rig.linkState().ispConnected, c.result != 1);
        EXPECT_EQ(isp.rises(sim::Line::Reset), c.resets);
        if (c.pulses != 0) {
            EXPECT_EQ(isp.rises(sim::Line::Clock), c.pulses);
        }
        EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
        if (c.signature != "FF FF FF") {
            EXPECT_TRUE(isp.messages().empty()) << isp.rig.host().lastText();
            continue;
        }
        ASSERT_EQ(isp.messages().size(), 1u);  // the warning has no owner
        EXPECT_EQ(isp.messages()[0].text, "Device Code erased!\n\n");
        EXPECT_EQ(isp.messages()[0].caption, "Warning:");
        EXPECT_EQ(isp.messages()[0].ownerId, 0);
        EXPECT_EQ(isp.messages()[0].buttons, ui::Buttons::Ok);
    }
}

}  // namespace
}  // namespace isp
