#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"

namespace adapter {
namespace {

using adapter::testing::DsrMode;
using adapter::testing::RecordingRig;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A rig whose serial port is open and whose log starts empty.
struct OpenRig : RecordingRig {
    OpenRig() {
        EXPECT_EQ(openSerialPort(ctx), 0);
        recorder.clear();
    }
};

TEST(DetectAdapter, TestsTheLoopBackBothWays) {
    RecordingRig rig;
    EXPECT_EQ(detectAdapter(rig.ctx), 0);
    EXPECT_TRUE(rig.state.adapterDetected);
    EXPECT_THAT(rig.trace(),
                ElementsAre("open COM2", "DATA-OUT high", "wait 150 ms", "read modem status",
                            "DATA-OUT low", "wait 150 ms", "read modem status"));
}

TEST(DetectAdapter, MissingOrStuckDsrMeansNoAdapter) {
    for (DsrMode mode : {DsrMode::Missing, DsrMode::StuckOn}) {
        RecordingRig rig;
        rig.state.adapterDetected = true;
        rig.recorder.dsr = mode;
        EXPECT_EQ(detectAdapter(rig.ctx), 1);
        EXPECT_EQ(rig.messageText, "No Adaptor found at COM2\n");
        EXPECT_FALSE(rig.state.adapterDetected);
    }
}

TEST(DetectAdapter, AnOpeningFailureKeepsTheLastResult) {
    RecordingRig rig;
    rig.state.adapterDetected = true;
    rig.serialPorts.nextResult = SerialOpenResult::CannotWriteTimeouts;
    EXPECT_EQ(detectAdapter(rig.ctx), 1);
    EXPECT_EQ(rig.messageText, "Kann TIMEOUTS nicht schreiben.");
    EXPECT_TRUE(rig.state.adapterDetected);
}

TEST(DetectAdapter, AParallelPortIsNotTested) {
    RecordingRig rig;
    rig.selectParallel();
    rig.state.adapterDetected = true;
    EXPECT_EQ(detectAdapter(rig.ctx), 0);
    EXPECT_TRUE(rig.state.adapterDetected);
    EXPECT_THAT(rig.trace(), IsEmpty());
}

TEST(DetectAdapter, APortThatVanishesDuringTheTestIsNoAdapter) {
    RecordingRig rig;
    rig.recorder.serialFailAfter = 1;
    EXPECT_EQ(detectAdapter(rig.ctx), 1);
    EXPECT_EQ(rig.messageText, "No Adaptor found at COM2\n");
    EXPECT_FALSE(rig.state.portOpen);
}

TEST(ResetController, SerialShortFormPulsesResetForOneMillisecond) {
    OpenRig rig;
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Short), 0);
    EXPECT_EQ(rig.recorder.count("read DATA-IN"), 50001);  // calibration, 1 µs per read
    EXPECT_EQ(rig.state.bitDelayCount, 2);
    EXPECT_THAT(rig.changes(), ElementsAre("CLOCK low", "DATA-OUT low", "RESET low", "wait 100 ms",
                                           "RESET high", "wait 1 ms", "RESET low", "wait 100 ms"));
}

TEST(ResetController, SerialLongFormLetsTheControllerRunWithoutCalibration) {
    OpenRig rig;
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Long), 0);
    EXPECT_EQ(rig.state.bitDelayCount, 0);
    EXPECT_THAT(rig.trace(), ElementsAre("CLOCK low", "DATA-OUT low", "RESET low", "wait 100 ms",
                                         "RESET high", "wait 200 ms", "RESET low", "wait 100 ms"));
}

TEST(ResetController, SerialFormsFailBeforeTouchingALine) {
    for (ResetForm form : {ResetForm::Short, ResetForm::Long}) {
        RecordingRig rig;
        rig.serialPorts.nextResult = SerialOpenResult::CannotOpen;
        EXPECT_EQ(resetController(rig.ctx, form), 1);
        EXPECT_EQ(rig.messageText, "COM-Init-Error!");
        EXPECT_THAT(rig.changes(), ElementsAre("open COM2"));
    }
}

TEST(ResetController, ParallelShortFormPulseFollowsTheCalibratedBitDelay) {
    RecordingRig rig;
    rig.selectParallel();
    rig.state.outputImage = 0x0B;
    rig.recorder.dataRegister = 0x0B;
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Short), 0);
    EXPECT_EQ(rig.state.bitDelayCount, 2);
    std::vector<std::string> trace = rig.trace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "read word x50001");
    EXPECT_THAT(
        std::vector<std::string>(trace.begin() + 1, trace.end()),
        ElementsAre("read control", "control 0x0C", "wait 10 ms", "data 0x00", "wait 10 ms",
                    "wait 30 ms", "data 0x08", "read word x100", "data 0x00", "wait 100 ms"));
    EXPECT_EQ(rig.recorder.controlRegister, 0x0C);
}

TEST(ResetController, ParallelLongForm) {
    RecordingRig rig;
    rig.selectParallel();
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Long), 0);
    EXPECT_THAT(rig.trace(), ElementsAre("read control", "control 0x0C", "wait 10 ms", "data 0x00",
                                         "wait 10 ms", "data 0x00", "wait 1 ms", "data 0x08",
                                         "wait 1 ms", "wait 200 ms", "data 0x00", "wait 100 ms"));
}

TEST(LowerLines, DriverPathWritesOnceWithoutControlRegisterOrWaits) {
    RecordingRig rig;
    rig.selectParallel(false);
    rig.state.outputImage = 0x0F;
    lowerLines(rig.ctx);
    EXPECT_THAT(rig.trace(), ElementsAre("data 0x04"));

    rig.recorder.clear();
    rig.port.portDriverReady = false;
    lowerLines(rig.ctx);
    EXPECT_THAT(rig.trace(), IsEmpty());
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(LowerLines, SerialPortSelectedDoesNothing) {
    OpenRig rig;
    lowerLines(rig.ctx);
    EXPECT_THAT(rig.trace(), IsEmpty());
}

TEST(LowerLines, AFailedControlRegisterIsADriverFault) {
    RecordingRig rig;
    rig.selectParallel();
    rig.recorder.portIoFails = true;
    lowerLines(rig.ctx);
    lowerLines(rig.ctx);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Error during driver access!");
}

TEST(StartController, FormsDriveTheSerialLinesWithTheirWaits) {
    {
        OpenRig rig;
        startController(rig.ctx, StartForm::Standard);
        EXPECT_THAT(rig.trace(), ElementsAre("RESET low", "DATA-OUT high", "CLOCK low",
                                             "wait 100 ms", "RESET high", "wait 500 ms"));
    }
    {
        OpenRig rig;
        startController(rig.ctx, StartForm::Update);
        EXPECT_THAT(rig.trace(), ElementsAre("RESET low", "CLOCK low", "wait 100 ms", "RESET high",
                                             "wait 1000 ms"));
    }
    {
        OpenRig rig;
        startController(rig.ctx, StartForm::Release);
        EXPECT_THAT(rig.trace(), ElementsAre("RESET low", "CLOCK high", "wait 100 ms", "RESET high",
                                             "wait 500 ms"));
    }
}

TEST(StartController, LeavesTheParallelLinesAlone) {
    RecordingRig rig;
    rig.selectParallel();
    rig.state.outputImage = 0x0A;
    startController(rig.ctx, StartForm::Standard);
    EXPECT_EQ(rig.state.outputImage, 0x0A);
    EXPECT_THAT(rig.trace(), ElementsAre("wait 100 ms", "wait 500 ms"));
}

}  // namespace
}  // namespace adapter
