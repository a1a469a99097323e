#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "resources/main_dialog.h"
#include "test_rig.h"

namespace adapter {
namespace {

using namespace adapter::testing;

TEST(SerialLines, NothingWithoutAnOpenPortThenOneOperationPerChange) {
    RecordingRig rig;
    setClock(rig.ctx, true);
    setReset(rig.ctx, true);
    EXPECT_EQ(readDataIn(rig.ctx), 0);
    EXPECT_EQ(rig.recorder.operations, 0);
    EXPECT_TRUE(rig.host.messages.empty());

    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.recorder.clear();
    rig.recorder.idleDataIn = 1;
    setClock(rig.ctx, true);
    setDataOut(rig.ctx, false);
    EXPECT_EQ(readDataIn(rig.ctx), 1);
    EXPECT_EQ(rig.state.modemStatus & modemCtsOn, modemCtsOn);
    rig.selectParallel();
    SerialLines(rig.ctx).setReset(false);  // the open port, whatever the port kind says
    EXPECT_EQ(joined(rig.trace()), "CLOCK high, DATA-OUT low, read DATA-IN, RESET low");
    EXPECT_EQ(rig.recorder.operations, 4);
}

TEST(OpenSerialPort, FailuresWithTheirTextsAlreadyOpenClosedAndReopened) {
    const std::pair<SerialOpenResult, const char*> cases[] = {
        {SerialOpenResult::CannotOpen, "COM-Init-Error!"},
        {SerialOpenResult::CannotReadSettings, "Kann COM-Port Einstellung nicht lesen."},
        {SerialOpenResult::CannotWriteSettings, "Kann COM-Port Einstellung nicht schreiben."},
        {SerialOpenResult::CannotWriteTimeouts, "Kann TIMEOUTS nicht schreiben."},
    };
    for (const auto& [result, text] : cases) {
        RecordingRig rig;
        rig.serialPorts.nextResult = result;
        EXPECT_EQ(openSerialPort(rig.ctx), 1);
        EXPECT_EQ(rig.messageText, text);
        EXPECT_FALSE(rig.state.portOpen);
        // The box text stays the system's; the reason is its detail and a log line.
        EXPECT_EQ(rig.host.pendingDetail(), "COM2: open failed: No such file or directory");
        EXPECT_EQ(rig.host.log.size(), 1u);
    }
    // A factory that knows no error: the failure still names the device and the step.
    RecordingRig rig;
    rig.serialPorts.nextResult = SerialOpenResult::CannotOpen;
    rig.serialPorts.nextError = {};
    EXPECT_EQ(openSerialPort(rig.ctx), 1);
    EXPECT_EQ(rig.host.pendingDetail(), "COM2: open failed");

    rig.serialPorts.nextResult = SerialOpenResult::Ok;
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_EQ(openSerialPort(rig.ctx), 0);  // an open port is not touched again
    closeSerialPort(rig.ctx);
    EXPECT_FALSE(rig.state.portOpen);
    EXPECT_EQ(rig.state.serialPort, nullptr);
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_EQ(joined(rig.changes()), "open COM2, open COM2, close, open COM2");
    EXPECT_EQ(joined(rig.host.log),
              "COM2: open failed, COM2: port opened, COM2: port closed, COM2: port opened");
}

TEST(SerialLines, AVanishedPortIsClosedAndAReplugWorksAgain) {
    OpenRig rig;
    rig.recorder.serialFailAfter = 1;
    setClock(rig.ctx, true);
    EXPECT_TRUE(rig.state.portOpen);
    setClock(rig.ctx, false);  // the device is gone now
    EXPECT_FALSE(rig.state.portOpen);
    EXPECT_TRUE(linesFailed(rig.ctx));
    setClock(rig.ctx, true);  // nothing left to act on
    EXPECT_EQ(joined(rig.changes()), "CLOCK high, port lost, close");
    // The first failure is kept, and it is the detail of the box that follows.
    const std::string lost = "COM2: ioctl(TIOCMGET) failed: Input/output error";
    ASSERT_NE(linesFault(rig.ctx), nullptr);
    EXPECT_EQ(linesFault(rig.ctx)->describe(), lost);
    EXPECT_EQ(rig.host.pendingDetail(), lost);
    EXPECT_EQ(rig.host.log.back(), lost);
    EXPECT_FALSE(linesFaultShown(rig.ctx));  // the command shows its own box

    rig.recorder.serialFailAfter = -1;  // plugged in again
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_FALSE(linesFailed(rig.ctx));
    EXPECT_EQ(linesFault(rig.ctx), nullptr);
    // A read from a vanished port keeps the last modem status.
    rig.state.modemStatus = modemCtsOn;
    rig.recorder.serialFailAfter = 0;
    EXPECT_EQ(readDataIn(rig.ctx), 1);
    EXPECT_FALSE(rig.state.portOpen);
}

TEST(ParallelLines, EveryChangeWritesTheWholeImageAndDataInIsStatusBitSix) {
    RecordingRig rig;
    rig.selectParallel(false);
    setDataOut(rig.ctx, true);
    setReset(rig.ctx, true);
    setClock(rig.ctx, true);
    setDataOut(rig.ctx, false);
    setClock(rig.ctx, false);
    // One register write per change, no read-back.
    EXPECT_EQ(joined(rig.trace()), "data 0x01, data 0x09, data 0x0B, data 0x0A, data 0x08");
    EXPECT_EQ(rig.recorder.lastBase, 0x378);
    rig.port.parallelBase = 0x278;
    for (const int dataIn : {1, 0}) {
        rig.recorder.idleDataIn = dataIn;
        EXPECT_EQ(readDataIn(rig.ctx), dataIn);
        EXPECT_EQ(rig.state.inputWord, dataIn << 14 | 0x0008);
    }
    EXPECT_EQ(rig.recorder.lastBase, 0x278);
}

TEST(ParallelLines, DriverFailureIsShownOnceAndEndsTheDialogTheNextCommandTriesAgain) {
    RecordingRig rig;
    rig.selectParallel(false);
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &mainWindow;
    rig.state.inputWord = 0x1234;
    rig.recorder.portIoFails = true;
    setClock(rig.ctx, true);
    EXPECT_EQ(readDataIn(rig.ctx), 0);
    setReset(rig.ctx, true);
    EXPECT_EQ(boxes(rig.host), "0 Error: Error during driver access!");
    EXPECT_EQ(rig.host.messages.back().detail, "parallel port 0378: write data register failed");
    EXPECT_TRUE(mainWindow.ended());
    EXPECT_EQ(mainWindow.result(), 1);
    EXPECT_EQ(rig.state.inputWord, 0x1234);
    EXPECT_TRUE(linesFailed(rig.ctx) && linesFaultShown(rig.ctx));
    EXPECT_EQ(rig.recorder.operations, 1);  // only the first access reached the port

    // The ended dialog was a sub-dialog; the next command runs in the main dialog and
    // shows the back-end's own reason where it has one.
    ui::Dialog otherWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &otherWindow;
    rig.recorder.portIoFails = false;
    setClock(rig.ctx, true);
    EXPECT_FALSE(linesFailed(rig.ctx));
    EXPECT_EQ(joined(rig.changes()), "write data failed, data 0x0A");
    rig.recorder.portIoFails = true;
    rig.recorder.portIoError = {{}, "ioctl(PPWDATA)", 5, "Input/output error"};
    setClock(rig.ctx, false);
    EXPECT_EQ(rig.host.messages.back().detail,
              "parallel port 0378: ioctl(PPWDATA) failed: Input/output error");
}

}  // namespace
}  // namespace adapter
