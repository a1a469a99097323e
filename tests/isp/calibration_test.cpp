// "RC-Oszillator kalibieren" end to end: the report, its verdict, every way out with its
// box and status field, and whether the controller is left running or held in reset.
#include <gtest/gtest.h>

#include "isp/isp.h"
#include "isp/isp_access.h"
#include "recorded_isp.h"
#include "sim_isp.h"

namespace isp {
namespace {

using testing::AdapterKind;
using testing::SimIsp;

constexpr int oscCalibration = 15;
constexpr int mainDialogId = 1227;

struct Calibration : ::testing::Test {
    SimIsp isp;
    Calibration() { isp.rig.setupMemory()[oscCalibration] = 0xFF; }
    void run() { calibrateOscillator(isp.ctx); }
    void expectOnlyMessage(const std::string& text, const std::string& caption, int owner) {
        ASSERT_EQ(isp.messages().size(), 1u) << isp.rig.host().lastText();
        EXPECT_EQ(isp.messages()[0].text, text);
        EXPECT_EQ(isp.messages()[0].caption, caption);
        EXPECT_EQ(isp.messages()[0].ownerId, owner);
    }
    void expectStatusCleared() {
        EXPECT_EQ(isp.status(), " ");
        EXPECT_FALSE(isp.statusEnabled());
    }
};

TEST_F(Calibration, CopiesTheFactoryValueAndReportsSuccess) {
    std::vector<std::pair<std::string, bool>> shown;
    isp.rig.host().onRepaint = [&](ui::Dialog& dialog) {
        shown.emplace_back(dialog.text(ids::StatusField), dialog.enabled(ids::StatusField));
    };
    run();
    expectOnlyMessage("soll: A5\n\nalt: FF\nneu: A5", "Kalibrierung erfolgreich!", 0);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xA5);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::Firmware);
    expectStatusCleared();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], std::make_pair(std::string("verbinden...."), true));
    EXPECT_EQ(shown[1], std::make_pair(std::string(" "), false));
    EXPECT_EQ(shown[2].first, "connecting...." + std::string(80, ' '));
}

TEST_F(Calibration, SecondRunWritesAgainAndReportsOldEqualToTarget) {
    run();
    isp.rig.host().messages.clear();
    run();
    expectOnlyMessage("soll: A5\n\nalt: A5\nneu: A5", "Kalibrierung erfolgreich!", 0);
}

TEST_F(Calibration, ControllerOfAnotherKindIsLeftUnwritten) {
    isp.rig.controllerConfig().kind = sim::DeviceKind::OtherKind;
    run();
    expectOnlyMessage("angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!", 0);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xFF);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::Firmware);
    expectStatusCleared();
}

TEST_F(Calibration, LockedProcessorShowsOnlyNoConnectionAndStaysInReset) {
    isp.rig.ispConfig().familyOne = sim::FamilyOneReads::Always;
    run();
    expectOnlyMessage("Keine Verbindung!", "ERROR!", 0);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xFF);
    expectStatusCleared();
}

TEST_F(Calibration, ErasedSignatureWarnsAndGoesOn) {
    isp.rig.ispConfig().signatureErased = true;
    run();
    ASSERT_EQ(isp.messages().size(), 2u);
    EXPECT_EQ(isp.messages()[0].caption, "Warning:");
    EXPECT_EQ(isp.messages()[1].caption, "Kalibrierung erfolgreich!");
}

TEST_F(Calibration, MissingAdapterIsReportedInABoxOwnedByTheMainDialog) {
    isp.rig.serialConfig().loopBack = sim::LoopBack::Missing;
    run();
    expectOnlyMessage("No Adaptor found at COM2\n", "Error", mainDialogId);
    expectStatusCleared();
}

TEST_F(Calibration, FirmwareThatNeverAnswersEndsThroughTheCommonFailureEnding) {
    // Still booting when both probes come.
    isp.rig.controllerConfig().bootNs = 2'000'000'000;
    run();
    expectOnlyMessage("Keine Verbindung!", "Error", mainDialogId);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xFF);
    expectStatusCleared();
}

TEST_F(Calibration, WriteThatDoesNotStickStopsAfterWriteError) {
    isp.rig.controllerConfig().setupWritesStick = false;
    run();
    expectOnlyMessage("Schreibfehler!", "Error!", 0);
    expectStatusCleared();
}

TEST(CalibrationOnParallelAdapter, ProcessorStaysHeldInResetAndByte15Unwritten) {
    // The start sequence drives the serial lines only.
    SimIsp isp{AdapterKind::Parallel};
    isp.rig.setupMemory()[oscCalibration] = 0xFF;
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.mode(), sim::ControllerMode::InReset);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xFF);
    EXPECT_FALSE(isp.messages().empty());
}

// The final read-back differs although the write was confirmed: scripted answers.
TEST(CalibrationRecorded, FinalReadDifferingFromTargetIsReportedAsFailed) {
    testing::RecordedIsp isp;
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    for (int value : {0x1E, 0x93, 0x07}) {
        isp.queueInstruction(0, 0, 0, value);
    }
    isp.queueInstruction(0, 0, 0, 0xA5);        // calibration byte
    for (int answer : {0x00, 0xFE, 0x00, 0xFE,  // probe, probe again
                       0x00, 0x00, 0x5A,        // old value
                       0x00, 0x00, 0x00, 0xA5,  // write, confirmed
                       0x00, 0x00, 0x5A}) {     // new value
        isp.rig.queueByte(answer);
    }
    calibrateOscillator(isp.ctx);
    ASSERT_EQ(isp.rig.host.messages.size(), 1u) << isp.rig.host.lastText();
    EXPECT_EQ(isp.rig.host.lastText(), "soll: A5\n\nalt: 5A\nneu: 5A");
    EXPECT_EQ(isp.rig.host.lastCaption(), "Kalibrierung fehlgeschlagen!");
    EXPECT_EQ(isp.rig.host.messages[0].ownerId, 0);
}

TEST(CalibrationRecorded, ValueReadOverAVanishedPortIsNeverWritten) {
    testing::RecordedIsp isp;
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    for (int value : {0x1E, 0x93, 0x07}) {
        isp.queueInstruction(0, 0, 0, value);
    }
    // Count the operations of a connection, then let the port die during the calibration
    // read that follows it.
    {
        testing::RecordedIsp probe;
        probe.queueInstruction(0x00, 0xAC, 0x53, 0x00);
        for (int value : {0x1E, 0x93, 0x07}) {
            probe.queueInstruction(0, 0, 0, value);
        }
        ASSERT_EQ(ispConnect(probe.ctx), 0);
        isp.rig.recorder.serialFailAfter =
            probe.rig.recorder.operations - probe.rig.serialPorts.opens + 100;
    }
    calibrateOscillator(isp.ctx);
    ASSERT_EQ(isp.rig.host.messages.size(), 1u) << isp.rig.host.lastText();
    EXPECT_EQ(isp.rig.host.lastText(), "Keine Verbindung!");
    EXPECT_EQ(isp.rig.recorder.count("RESET high"), 1);  // never started, never written
}

}  // namespace
}  // namespace isp
