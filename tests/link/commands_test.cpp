#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "link/link.h"
#include "link/protocol_trace.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"

namespace clink {
namespace {

using adapter::testing::DsrMode;
using adapter::testing::RecordingRig;
using linktest::protocol;
using ::testing::ElementsAre;

// Serial adapter detected, port open, main dialog attached, log empty.
struct LinkRig : RecordingRig {
    LinkRig() : mainWindow(resources::mainDialogTemplate()) {
        EXPECT_EQ(adapter::detectAdapter(ctx), 0);
        ctx.mainWindow = &mainWindow;
        mainWindow.setEnabled(ids::StatusField, true);
        recorder.clear();
    }
    // The controller answers byte k while byte k+1 goes out.
    void answers(std::initializer_list<int> bytes) {
        for (int byte : bytes) {
            queueByte(byte);
        }
    }
    ui::Dialog mainWindow;
};

TEST(ProbeBootloader, AReadyControllerCostsTwoBytesAndNothingElse) {
    LinkRig rig;
    rig.answers({0x00, 0xFE});
    EXPECT_EQ(probeBootloader(rig.ctx), 0);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("0xFE", "0xFE"));
    EXPECT_EQ(rig.recorder.count("RESET low"), 0);
    EXPECT_EQ(rig.mainWindow.text(ids::StatusField), " ");
    EXPECT_EQ(rig.host.repaints, 1);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(ProbeBootloader, OtherDeviceIsRestartedOnceThenRefused) {
    LinkRig rig;
    rig.answers({0x00, 0xFD, 0x00, 0xFD});
    EXPECT_EQ(probeBootloader(rig.ctx), 1);
    EXPECT_THAT(protocol(rig.recorder),
                ElementsAre("0xFE", "0xFE", "wait 150 ms", "wait 150 ms", "RESET low",
                            "wait 100 ms", "RESET high", "wait 500 ms", "0xFE", "0xFE"));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "falsches Gerät!");
    EXPECT_EQ(rig.host.messages[0].caption, "ERROR!");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
}

TEST(ProbeBootloader, StartSequenceRecoversAControllerThatWasNotRunning) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x00, 0xFE});
    EXPECT_EQ(probeBootloader(rig.ctx), 0);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(ProbeBootloader, NothingAttachedIsNoConnection) {
    LinkRig rig;
    rig.recorder.idleDataIn = 1;
    EXPECT_EQ(probeBootloader(rig.ctx), 1);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Keine Verbindung!");
    EXPECT_EQ(rig.host.messages[0].caption, "ERROR!");
}

TEST(ProbeBootloader, MissingAdapterEndsWithItsMessage) {
    LinkRig rig;
    rig.recorder.dsr = DsrMode::StuckOn;
    EXPECT_EQ(probeBootloader(rig.ctx), 1);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "No Adaptor found at COM2\n");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
    EXPECT_EQ(rig.mainWindow.text(ids::StatusField), " ");
    EXPECT_FALSE(rig.mainWindow.enabled(ids::StatusField));
    EXPECT_EQ(rig.host.repaints, 2);
    EXPECT_EQ(rig.recorder.count("RESET high"), 0);
}

TEST(ProbeBootloader, DriverFailureOnTheParallelPortShowsOnlyItsOwnBox) {
    LinkRig rig;
    rig.selectParallel(false);
    rig.recorder.portIoFails = true;
    EXPECT_EQ(probeBootloader(rig.ctx), 1);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Error during driver access!");
    EXPECT_TRUE(rig.mainWindow.ended());
}

TEST(ReadSetupByte, SendsAddressAndZeroWithItsWaits) {
    LinkRig rig;
    rig.state.sendRegister = 0x77;
    rig.answers({0x00, 0x00, 0x66});
    EXPECT_EQ(readSetupByte(rig.ctx, 12), 0x66);
    EXPECT_THAT(protocol(rig.recorder),
                ElementsAre("0x55", "wait 5 ms", "wait 5 ms", "0x0C", "wait 5 ms", "0x00"));
}

TEST(WriteSetupByte, VerifiesTheReadBack) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x00, 0x42});
    EXPECT_EQ(writeSetupByte(rig.ctx, 20, 0x42), 0);
    EXPECT_THAT(protocol(rig.recorder),
                ElementsAre("wait 5 ms", "0x56", "wait 5 ms", "0x14", "wait 5 ms", "0x42",
                            "wait 5 ms", "wait 20 ms", "0x00"));
}

TEST(WriteSetupByte, CutsTheValueToEightBits) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x00, 0xFF});
    EXPECT_EQ(writeSetupByte(rig.ctx, 3, 0x1FF), 0);
    EXPECT_THAT(protocol(rig.recorder),
                ElementsAre("wait 5 ms", "0x56", "wait 5 ms", "0x03", "wait 5 ms", "0xFF",
                            "wait 5 ms", "wait 20 ms", "0x00"));
}

TEST(WriteSetupByte, ACheckedWriteThatDoesNotReadBackSaysSo) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x00, 0x41});
    EXPECT_EQ(writeSetupByteChecked(rig.ctx, 20, 0x42), 1);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Schreibfehler!");
    EXPECT_EQ(rig.host.messages[0].caption, "Error!");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);

    rig.host.messages.clear();
    rig.answers({0x00, 0x00, 0x00, 0x42});
    EXPECT_EQ(writeSetupByteChecked(rig.ctx, 20, 0x42), 0);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(WriteSetupByte, AVanishedPortIsNoVerifiedWriteEvenWhenZeroWasWritten) {
    LinkRig rig;
    rig.recorder.serialFailAfter = 30;
    EXPECT_EQ(writeSetupByte(rig.ctx, 20, 0x00), 1);
    EXPECT_TRUE(adapter::linesFailed(rig.ctx));
}

TEST(FlashPages, SelectSendsThePageBetweenBitDelays) {
    LinkRig rig;
    selectFlashPage(rig.ctx, 0x21);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("0x57", "delay 4", "0x21", "delay 4"));
}

TEST(FlashPages, LoadPageByteChecksBothEchoes) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x05, 0x99});
    EXPECT_EQ(loadPageByte(rig.ctx, 5, 0x99), 0);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("0x59", "delay 4", "0x05", "delay 4", "0x99",
                                                    "delay 4", "0x00", "delay 4"));
}

TEST(FlashPages, LoadPageByteStopsAfterAWrongOffsetEcho) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x06});
    EXPECT_EQ(loadPageByte(rig.ctx, 5, 0x99), 1);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("0x59", "delay 4", "0x05", "delay 4", "0x99"));
}

TEST(FlashPages, LoadPageByteFailsOnAWrongDataEcho) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x05, 0x98});
    EXPECT_EQ(loadPageByte(rig.ctx, 5, 0x99), 1);
}

TEST(FlashPages, CommitSendsFourBytesTheLastAfterFortyMilliseconds) {
    LinkRig rig;
    rig.answers({0x00, 0x00, 0x00, 0x21});
    EXPECT_EQ(commitFlashPage(rig.ctx, 0x21), 0);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("delay 4", "0x58", "delay 4", "0x55", "delay 4",
                                                    "0x33", "wait 40 ms", "0x33", "delay 4"));

    rig.recorder.clear();
    rig.answers({0x00, 0x00, 0x00, 0x20});
    EXPECT_EQ(commitFlashPage(rig.ctx, 0x21), 1);
}

TEST(FlashPages, CommandsWorkOnTheParallelAdapter) {
    LinkRig rig;
    rig.selectParallel();
    rig.answers({0x00, 0x00, 0x00, 0x07});
    EXPECT_EQ(commitFlashPage(rig.ctx, 7), 0);
    EXPECT_THAT(protocol(rig.recorder), ElementsAre("delay 4", "0x58", "delay 4", "0x55", "delay 4",
                                                    "0x33", "wait 40 ms", "0x33", "delay 4"));
}

}  // namespace
}  // namespace clink
