// The link commands against the virtual controller, on both adapters: the controller was
// written from its own side, so agreement means both follow the same protocol.
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "link/link.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"

namespace clink {
namespace {

enum class Adapter { Serial, Parallel };

class LinkOnVirtualController : public ::testing::TestWithParam<Adapter> {
  protected:
    LinkOnVirtualController() : mainWindow(resources::mainDialogTemplate()) {}

    void SetUp() override {
        link.mainWindow = &mainWindow;
        if (parallel()) {
            // The start sequences drive the serial lines only; on the parallel adapter
            // the controller is released by raising RESET directly.
            rig.selectParallel();
            adapter::setReset(link, false);
            adapter::delayMs(link, 1);
            adapter::setReset(link, true);
            adapter::delayMs(link, 500);
        } else {
            ASSERT_EQ(adapter::detectAdapter(link), 0) << rig.messageText();
            adapter::startController(link, adapter::StartForm::Standard);
        }
    }

    bool parallel() const { return GetParam() == Adapter::Parallel; }
    const std::vector<ui::RecordedMessage>& boxes() { return rig.host().messages; }

    sim::TestRig rig;
    adapter::LinkContext& link = rig.link();
    ui::Dialog mainWindow;
};

TEST_P(LinkOnVirtualController, EveryCommandRoundTrips) {
    EXPECT_EQ(probeBootloader(link), 0);
    EXPECT_EQ(probeExchange(link), answerReady);
    EXPECT_EQ(readSetupByte(link, 12), rig.setupMemory()[12]);

    EXPECT_EQ(writeSetupByte(link, 14, 0x1A5), 0);
    EXPECT_EQ(rig.setupMemory()[14], 0xA5);
    EXPECT_EQ(writeSetupByteChecked(link, 15, 0x07), 0);
    EXPECT_EQ(readSetupByte(link, 15), 0x07);

    selectFlashPage(link, 5);
    for (int offset = 0; offset < 64; ++offset) {
        ASSERT_EQ(loadPageByte(link, offset, 0xFF - offset), 0) << offset;
    }
    EXPECT_EQ(commitFlashPage(link, 5), 0);
    EXPECT_EQ(rig.flash().byteAt(5 * 64), 0xFF);
    EXPECT_EQ(rig.flash().byteAt(5 * 64 + 63), 0xC0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(adapter::linesFailed(link));
}

TEST_P(LinkOnVirtualController, AnotherKindOfControllerIsRefused) {
    rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
    EXPECT_EQ(probeExchange(link), answerOtherDevice);
    EXPECT_EQ(probeBootloader(link), 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "falsches Gerät!");
    EXPECT_EQ(boxes()[0].caption, "ERROR!");
}

TEST_P(LinkOnVirtualController, NothingAttachedAnswersNothing) {
    rig.controllerConfig().kind = sim::DeviceKind::NothingAttached;
    rig.controllerConfig().nothingAttachedLevel = true;
    EXPECT_EQ(probeBootloader(link), 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Keine Verbindung!");
    EXPECT_EQ(readSetupByte(link, 12), 0xFF);
    EXPECT_EQ(loadPageByte(link, 3, 0x44), 1);
    EXPECT_EQ(commitFlashPage(link, 3), 1);
    EXPECT_EQ(writeSetupByte(link, 14, 0x12), 1);
}

TEST_P(LinkOnVirtualController, AWriteThatDoesNotReadBackIsReported) {
    rig.controllerConfig().setupWritesStick = false;
    const int old = rig.setupMemory()[19];
    EXPECT_EQ(writeSetupByteChecked(link, 19, old ^ 0x21), 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Schreibfehler!");
    EXPECT_EQ(boxes()[0].caption, "Error!");
    EXPECT_EQ(boxes()[0].ownerId, 0);
}

TEST_P(LinkOnVirtualController, ARushedCommitIsNotConfirmed) {
    rig.controllerConfig().pageCommitNs = 41'000'000;  // a little longer than the 40 ms pause
    selectFlashPage(link, 2);
    ASSERT_EQ(loadPageByte(link, 0, 0x5A), 0);
    EXPECT_EQ(commitFlashPage(link, 2), 1);
}

INSTANTIATE_TEST_SUITE_P(BothAdapters, LinkOnVirtualController,
                         ::testing::Values(Adapter::Serial, Adapter::Parallel),
                         [](const auto& info) {
                             return info.param == Adapter::Serial ? "Serial" : "Parallel";
                         });

TEST(LinkOnVirtualSerialAdapter, AControllerHeldInResetIsStartedByTheProbe) {
    sim::TestRig rig;
    ASSERT_EQ(adapter::detectAdapter(rig.link()), 0);
    EXPECT_EQ(probeBootloader(rig.link()), 0);
    EXPECT_TRUE(rig.host().messages.empty());
}

TEST(LinkOnVirtualSerialAdapter, AStuckLoopBackIsNoAdapter) {
    sim::TestRig rig;
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.link().mainWindow = &mainWindow;
    rig.serialConfig().loopBack = sim::LoopBack::StuckOn;
    EXPECT_EQ(probeBootloader(rig.link()), 1);
    ASSERT_EQ(rig.host().messages.size(), 1u);
    EXPECT_EQ(rig.host().messages[0].text, "No Adaptor found at COM2\n");
    EXPECT_EQ(rig.host().messages[0].caption, "Error");
    EXPECT_FALSE(mainWindow.enabled(ids::StatusField));
    EXPECT_FALSE(rig.linkState().adapterDetected);
}

TEST(LinkOnVirtualSerialAdapter, APortUnpluggedDuringACommandIsReportedAndWorksWhenBack) {
    sim::TestRig rig;
    adapter::LinkContext& link = rig.link();
    ASSERT_EQ(adapter::detectAdapter(link), 0);
    adapter::startController(link, adapter::StartForm::Standard);
    rig.serialConfig().vanishAfterOps = rig.serialPorts().operationCount() + 200;

    writeSetupByte(link, 14, 0);
    EXPECT_EQ(writeSetupByte(link, 14, 0), 1);  // whatever the dead lines showed
    EXPECT_TRUE(adapter::linesFailed(link));
    EXPECT_FALSE(link.state.portOpen);

    EXPECT_EQ(probeBootloader(link), 1);
    ASSERT_EQ(rig.host().messages.size(), 1u);
    EXPECT_EQ(rig.host().messages[0].text, "COM-Init-Error!");

    rig.serialPorts().replug();
    rig.host().messages.clear();
    EXPECT_EQ(probeBootloader(link), 0);
    EXPECT_EQ(readSetupByte(link, 14), rig.setupMemory()[14]);
    EXPECT_FALSE(adapter::linesFailed(link));
}

TEST(LinkOnVirtualParallelAdapter, AMissingDriverIsShownOnceAndEndsTheDialog) {
    sim::TestRig rig;
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.link().mainWindow = &mainWindow;
    rig.selectParallel();
    rig.parallelConfig().driverMissing = true;
    EXPECT_EQ(probeBootloader(rig.link()), 1);
    EXPECT_EQ(loadPageByte(rig.link(), 0, 0), 1);
    ASSERT_EQ(rig.host().messages.size(), 1u);
    EXPECT_EQ(rig.host().messages[0].text, "Error during driver access!");
    EXPECT_TRUE(mainWindow.ended());
}

}  // namespace
}  // namespace clink
