#include <gtest/gtest.h>

#include <tuple>

#include "adapter/adapter.h"
#include "test_rig.h"

namespace adapter {
namespace {

using namespace adapter::testing;

TEST(DetectAdapter, LoopBackPortFailuresAndTheParallelPort) {
    const char* noAdaptor = "No Adaptor found at COM2\n";
    // DSR, the operations before the port vanishes (-1 never), the opening's result; the
    // text, and whether the adapter counts as found afterwards (it did before).
    const std::tuple<DsrMode, int, SerialOpenResult, const char*, bool> cases[] = {
        {DsrMode::Missing, -1, SerialOpenResult::Ok, noAdaptor, false},
        {DsrMode::StuckOn, -1, SerialOpenResult::Ok, noAdaptor, false},
        {DsrMode::FollowsDtr, 1, SerialOpenResult::Ok, noAdaptor, false},
        // A failed opening: the last result stays.
        {DsrMode::FollowsDtr, -1, SerialOpenResult::CannotWriteTimeouts,
         "Kann TIMEOUTS nicht schreiben.", true},
    };
    for (const auto& [dsr, failAfter, opening, message, detected] : cases) {
        SCOPED_TRACE(message);
        RecordingRig rig;
        rig.state.adapterDetected = true;
        rig.recorder.dsr = dsr;
        rig.recorder.serialFailAfter = failAfter;
        rig.serialPorts.nextResult = opening;
        EXPECT_EQ(detectAdapter(rig.ctx), 1);
        EXPECT_EQ(rig.messageText, message);
        EXPECT_EQ(rig.state.adapterDetected, detected);
    }
    OpenRig rig;
    rig.state.adapterDetected = false;
    EXPECT_EQ(detectAdapter(rig.ctx), 0);
    EXPECT_TRUE(rig.state.adapterDetected);
    EXPECT_EQ(rig.steps(),
              "DATA-OUT high, wait 150 ms, read modem status, DATA-OUT low, "
              "wait 150 ms, read modem status");

    OpenRig parallel(true);  // nothing to test
    EXPECT_EQ(detectAdapter(parallel.ctx), 0);
    EXPECT_EQ(parallel.steps(), "");
}

TEST(VerboseLog, AdapterTestResetsAndStartsNameThePort) {
    RecordingRig rig;
    EXPECT_EQ(detectAdapter(rig.ctx), 0);
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Long), 0);
    startController(rig.ctx, StartForm::Update);
    rig.recorder.dsr = DsrMode::Missing;
    EXPECT_EQ(detectAdapter(rig.ctx), 1);
    closeSerialPort(rig.ctx);
    rig.selectParallel();
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Short), 0);
    EXPECT_EQ(joined(rig.host.log),
              "COM2: port opened, COM2: adapter test passed, COM2: reset, long form, "
              "COM2: start, bootloader form, COM2: adapter test failed, no adapter found, "
              "COM2: port closed, parallel port 0378: reset, short form");
}

TEST(ResetController, BothFormsOnBothAdapters) {
    struct Case {
        bool parallel;
        ResetForm form;
        int bitDelayCount;  // only the short form calibrates: 50001 reads of 1 µs
        const char* steps;
    };
    const Case cases[] = {
        {false, ResetForm::Short, 2,
         "read DATA-IN x50001, CLOCK low, DATA-OUT low, RESET low, wait 100 ms, RESET high, "
         "wait 1 ms, RESET low, wait 100 ms"},
        {false, ResetForm::Long, 0,
         "CLOCK low, DATA-OUT low, RESET low, wait 100 ms, RESET high, wait 200 ms, RESET low, "
         "wait 100 ms"},
        // The short pulse follows the calibrated bit delay.
        {true, ResetForm::Short, 2,
         "read word x50001, read control, control 0x0C, wait 10 ms, data 0x00, wait 10 ms, "
         "wait 30 ms, data 0x08, read word x100, data 0x00, wait 100 ms"},
        {true, ResetForm::Long, 0,
         "read control, control 0x0C, wait 10 ms, data 0x00, wait 10 ms, data 0x00, wait 1 ms, "
         "data 0x08, wait 1 ms, wait 200 ms, data 0x00, wait 100 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        OpenRig rig(c.parallel);
        rig.state.outputImage = 0x0B;
        rig.recorder.dataRegister = 0x0B;
        EXPECT_EQ(resetController(rig.ctx, c.form), 0);
        EXPECT_EQ(rig.state.bitDelayCount, c.bitDelayCount);
        EXPECT_EQ(rig.steps(), c.steps);
    }
}

// Both forms share the failed opening's way out.
TEST(ResetController, ASerialOpeningFailureTouchesNoLine) {
    RecordingRig rig;
    rig.serialPorts.nextResult = SerialOpenResult::CannotOpen;
    EXPECT_EQ(resetController(rig.ctx, ResetForm::Short), 1);
    EXPECT_EQ(rig.messageText, "COM-Init-Error!");
    EXPECT_EQ(joined(rig.changes()), "open COM2");
}

TEST(LowerLines, OnlyOnAParallelPortThatCanBeReached) {
    RecordingRig rig;
    rig.selectParallel(false);
    rig.state.outputImage = 0x0F;
    lowerLines(rig.ctx);
    EXPECT_EQ(joined(rig.trace()), "data 0x04");  // no control register, no waits

    rig.recorder.clear();
    rig.port.portDriverReady = false;  // no access method: quietly nothing here
    lowerLines(rig.ctx);
    EXPECT_EQ(joined(rig.trace()), "");
    EXPECT_EQ(boxes(rig.host), "");
    ParallelLines(rig.ctx).readInputWord();  // but the first other access fails, once
    ParallelLines(rig.ctx).writeOutputImage();
    EXPECT_EQ(boxes(rig.host), "0 Error: Error during driver access!");
    EXPECT_EQ(rig.recorder.operations, 0);

    OpenRig serial;
    lowerLines(serial.ctx);
    EXPECT_EQ(serial.steps(), "");

    OpenRig direct(true);  // a failed control register is a driver fault, shown once
    direct.recorder.portIoFails = true;
    lowerLines(direct.ctx);
    lowerLines(direct.ctx);
    EXPECT_EQ(boxes(direct.host), "0 Error: Error during driver access!");
}

TEST(StartController, FormsDriveTheSerialLinesAndLeaveTheParallelOnesAlone) {
    struct Case {
        bool parallel;
        StartForm form;
        const char* steps;
    };
    const Case cases[] = {
        {false, StartForm::Standard,
         "RESET low, DATA-OUT high, CLOCK low, wait 100 ms, RESET high, wait 500 ms"},
        {false, StartForm::Update, "RESET low, CLOCK low, wait 100 ms, RESET high, wait 1000 ms"},
        {false, StartForm::Release, "RESET low, CLOCK high, wait 100 ms, RESET high, wait 500 ms"},
        {true, StartForm::Standard, "wait 100 ms, wait 500 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        OpenRig rig(c.parallel);
        rig.state.outputImage = 0x0A;
        startController(rig.ctx, c.form);
        EXPECT_EQ(rig.steps(), c.steps);
        EXPECT_EQ(rig.state.outputImage, 0x0A);
    }
}

}  // namespace
}  // namespace adapter
