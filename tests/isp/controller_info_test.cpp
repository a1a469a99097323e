// "Prozessor-Info" end to end on both adapters: the report byte for byte, and every way
// out with its box and status field.
#include <gtest/gtest.h>

#include "isp/isp.h"
#include "recorded_isp.h"
#include "sim_isp.h"

namespace isp {
namespace {

using testing::AdapterKind;
using testing::SimIsp;

constexpr int mainDialogId = 1227;
const std::string defaultReport =
    "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\n\nLockbits: FF\nFuse HB: D9\n"
    "Fuse LB: E1\n";

class ControllerInfo : public ::testing::TestWithParam<AdapterKind> {
  protected:
    SimIsp isp{GetParam()};
    void run() { showControllerInfo(isp.ctx); }
    void expectOnlyMessage(const std::string& text, const std::string& caption) {
        ASSERT_EQ(isp.messages().size(), 1u) << isp.rig.host().lastText();
        EXPECT_EQ(isp.messages()[0].text, text);
        EXPECT_EQ(isp.messages()[0].caption, caption);
        EXPECT_EQ(isp.messages()[0].ownerId, 0);
    }
    void expectStatusCleared() {
        EXPECT_EQ(isp.status(), " ");
        EXPECT_FALSE(isp.statusEnabled());
    }
};

INSTANTIATE_TEST_SUITE_P(ShowControllerInfo, ControllerInfo,
                         ::testing::Values(AdapterKind::Serial, AdapterKind::Parallel),
                         [](const auto& info) { return testing::adapterName(info.param); });

TEST_P(ControllerInfo, ShowsSignatureLockBitsAndFuses) {
    run();
    expectOnlyMessage(defaultReport, "Info:");
    EXPECT_EQ(isp.state.deviceInfoText, defaultReport);
    // Left in programming mode by the second connection.
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
    expectStatusCleared();
}

TEST_P(ControllerInfo, ShowsAllEightLockBitsAndTheFusesAsRead) {
    isp.rig.ispConfig().lockBits = 0x3C;
    isp.rig.ispConfig().fuseHigh = 0x01;
    isp.rig.ispConfig().fuseLow = 0x80;
    run();
    expectOnlyMessage(
        "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\n\nLockbits: 3C\nFuse HB: 01\n"
        "Fuse LB: 80\n",
        "Info:");
}

TEST_P(ControllerInfo, LockedProcessorShowsOnlyNoConnection) {
    isp.rig.ispConfig().familyOne = sim::FamilyOneReads::Always;
    run();
    expectOnlyMessage("Keine Verbindung!", "ERROR!");
    expectStatusCleared();
}

TEST_P(ControllerInfo, ErasedSignatureWarnsAndStillShowsWhatItReads) {
    isp.rig.ispConfig().signatureErased = true;
    run();
    ASSERT_EQ(isp.messages().size(), 3u);  // one warning per connection, then the report
    EXPECT_EQ(isp.messages()[0].text, "Device Code erased!\n\n");
    EXPECT_EQ(isp.messages()[1].text, "Device Code erased!\n\n");
    EXPECT_EQ(isp.messages()[2].text,
              "Vendor Code: FF\nPart Family: FF\nPart Number: FF\n\nLockbits: FF\nFuse HB: D9\n"
              "Fuse LB: E1\n");
    EXPECT_EQ(isp.messages()[2].caption, "Info:");
}

TEST(ControllerInfoSerial, ProbeWithoutAnswerStillReadsAndShows) {
    SimIsp isp;
    // The firmware is still booting when the probe comes.
    isp.rig.controllerConfig().bootNs = 2'000'000'000;
    showControllerInfo(isp.ctx);
    ASSERT_EQ(isp.messages().size(), 1u) << isp.rig.host().lastText();
    EXPECT_EQ(isp.messages()[0].text, defaultReport);
    EXPECT_EQ(isp.messages()[0].caption, "Info:");
}

TEST(ControllerInfoSerial, ControllerOfAnotherKindIsTurnedAway) {
    SimIsp isp;
    isp.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
    showControllerInfo(isp.ctx);
    ASSERT_EQ(isp.messages().size(), 1u);
    EXPECT_EQ(isp.messages()[0].text, "angeschlossenes Gerät ist kein ZEK-Micro!");
    EXPECT_EQ(isp.messages()[0].caption, "ERROR!");
    EXPECT_EQ(isp.messages()[0].ownerId, 0);
    // Started for the probe and left running.
    EXPECT_EQ(isp.mode(), sim::ControllerMode::Firmware);
    EXPECT_EQ(isp.status(), " ");
    EXPECT_FALSE(isp.statusEnabled());
}

TEST(ControllerInfoSerial, MissingAdapterIsReportedInABoxOwnedByTheMainDialog) {
    SimIsp isp;
    isp.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    showControllerInfo(isp.ctx);
    ASSERT_EQ(isp.messages().size(), 1u);
    EXPECT_EQ(isp.messages()[0].text, "No Adaptor found at COM2\n");
    EXPECT_EQ(isp.messages()[0].caption, "Error");
    EXPECT_EQ(isp.messages()[0].ownerId, mainDialogId);
    EXPECT_EQ(isp.status(), " ");
    EXPECT_FALSE(isp.statusEnabled());
}

// Scripted answers for both connections, the probe between them and the three reads.
int runRecordedInfo(testing::RecordedIsp& isp, int failAfter) {
    for (int connection = 0; connection < 2; ++connection) {
        isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
        for (int value : {0x1E, 0x93, 0x07}) {
            isp.queueInstruction(0, 0, 0, value);
        }
        if (connection == 0) {
            isp.rig.queueByte(0x00);
            isp.rig.queueByte(0xFE);
        }
    }
    for (int value : {0xD9, 0xE1, 0xFF}) {
        isp.queueInstruction(0, 0, 0, value);
    }
    isp.rig.recorder.serialFailAfter = failAfter;
    showControllerInfo(isp.ctx);
    return isp.rig.recorder.operations - isp.rig.serialPorts.opens;
}

TEST(ControllerInfoRecorded, BytesReadOverAVanishedPortAreNotShown) {
    testing::RecordedIsp undisturbed;
    const int operations = runRecordedInfo(undisturbed, -1);
    ASSERT_EQ(undisturbed.rig.host.lastText(), defaultReport);

    // The port goes during the lock bits, the last read.
    testing::RecordedIsp isp;
    runRecordedInfo(isp, operations - 50);
    ASSERT_EQ(isp.rig.host.messages.size(), 1u);
    EXPECT_EQ(isp.rig.host.lastText(), "Keine Verbindung!");
    EXPECT_EQ(isp.rig.host.lastCaption(), "ERROR!");
}

}  // namespace
}  // namespace isp
