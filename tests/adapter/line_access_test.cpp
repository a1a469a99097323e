#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "resources/main_dialog.h"

namespace adapter {
namespace {

using adapter::testing::RecordingRig;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SerialLines, DoNothingWhileNoPortIsOpen) {
    RecordingRig rig;
    rig.state.modemStatus = 0;
    setClock(rig.ctx, true);
    setDataOut(rig.ctx, true);
    setReset(rig.ctx, true);
    EXPECT_EQ(readDataIn(rig.ctx), 0);
    EXPECT_THAT(rig.trace(), IsEmpty());
    EXPECT_EQ(rig.recorder.operations, 0);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(SerialLines, OneOperationPerLineChangeOnTheOpenPort) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.recorder.clear();
    rig.recorder.idleDataIn = 1;
    setClock(rig.ctx, true);
    setDataOut(rig.ctx, false);
    setReset(rig.ctx, true);
    EXPECT_EQ(readDataIn(rig.ctx), 1);
    EXPECT_THAT(rig.trace(),
                ElementsAre("CLOCK high", "DATA-OUT low", "RESET high", "read DATA-IN"));
    EXPECT_EQ(rig.recorder.operations, 4);
    EXPECT_EQ(rig.state.modemStatus & modemCtsOn, modemCtsOn);
}

TEST(SerialLines, ActOnTheOpenPortWhateverPortKindSays) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.selectParallel();
    rig.recorder.clear();
    serialSetReset(rig.ctx, true);
    EXPECT_THAT(rig.trace(), ElementsAre("RESET high"));
}

TEST(OpenSerialPort, AnOpenPortIsNotTouchedAgain) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    int operations = rig.recorder.operations;
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_EQ(rig.serialPorts.opens, 1);
    EXPECT_EQ(rig.recorder.operations, operations);
}

TEST(OpenSerialPort, EachFailureHasItsTextAndTheNextCallTriesAgain) {
    struct Case {
        SerialOpenResult result;
        const char* text;
    };
    const Case cases[] = {
        {SerialOpenResult::CannotOpen, "COM-Init-Error!"},
        {SerialOpenResult::CannotReadSettings, "Kann COM-Port Einstellung nicht lesen."},
        {SerialOpenResult::CannotWriteSettings, "Kann COM-Port Einstellung nicht schreiben."},
        {SerialOpenResult::CannotWriteTimeouts, "Kann TIMEOUTS nicht schreiben."},
    };
    for (const Case& c : cases) {
        RecordingRig rig;
        rig.serialPorts.nextResult = c.result;
        EXPECT_EQ(openSerialPort(rig.ctx), 1);
        EXPECT_EQ(rig.messageText, c.text);
        EXPECT_FALSE(rig.state.portOpen);
        rig.serialPorts.nextResult = SerialOpenResult::Ok;
        EXPECT_EQ(openSerialPort(rig.ctx), 0);
        EXPECT_EQ(rig.serialPorts.opens, 2);
    }
}

TEST(OpenSerialPort, ClosingLetsTheNextCallOpenAgain) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    closeSerialPort(rig.ctx);
    EXPECT_FALSE(rig.state.portOpen);
    EXPECT_EQ(rig.state.serialPort, nullptr);
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_THAT(rig.trace(), ElementsAre("open COM2", "close", "open COM2"));
}

TEST(SerialLines, AVanishedPortIsClosedAndReopenedByTheNextCommand) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.recorder.serialFailAfter = 1;
    setClock(rig.ctx, true);
    EXPECT_TRUE(rig.state.portOpen);
    setClock(rig.ctx, false);  // the device is gone now
    EXPECT_FALSE(rig.state.portOpen);
    EXPECT_TRUE(linesFailed(rig.ctx));
    setClock(rig.ctx, true);  // nothing left to act on
    EXPECT_THAT(rig.changes(), ElementsAre("open COM2", "CLOCK high", "port lost", "close"));

    rig.serialPorts.nextResult = SerialOpenResult::CannotOpen;
    EXPECT_EQ(openSerialPort(rig.ctx), 1);
    EXPECT_EQ(rig.messageText, "COM-Init-Error!");

    // Plugged in again.
    rig.recorder.serialFailAfter = -1;
    rig.serialPorts.nextResult = SerialOpenResult::Ok;
    EXPECT_EQ(openSerialPort(rig.ctx), 0);
    EXPECT_FALSE(linesFailed(rig.ctx));
}

TEST(SerialLines, AReadFromAVanishedPortKeepsTheLastModemStatus) {
    RecordingRig rig;
    ASSERT_EQ(openSerialPort(rig.ctx), 0);
    rig.state.modemStatus = modemCtsOn;
    rig.recorder.serialFailAfter = 0;
    EXPECT_EQ(readDataIn(rig.ctx), 1);
    EXPECT_FALSE(rig.state.portOpen);
}

TEST(ParallelLines, EveryChangeWritesTheWholeImage) {
    RecordingRig rig;
    rig.selectParallel();
    setDataOut(rig.ctx, true);
    setReset(rig.ctx, true);
    setClock(rig.ctx, true);
    setDataOut(rig.ctx, false);
    setClock(rig.ctx, false);
    EXPECT_THAT(rig.trace(),
                ElementsAre("data 0x01", "data 0x09", "data 0x0B", "data 0x0A", "data 0x08"));
    EXPECT_EQ(rig.state.outputImage, 0x08);
    EXPECT_EQ(rig.recorder.lastBase, 0x378);
}

TEST(ParallelLines, DataInIsStatusBitSixReadWithTheDataRegister) {
    RecordingRig rig;
    rig.selectParallel(false);
    rig.port.parallelBase = 0x278;
    setDataOut(rig.ctx, true);
    rig.recorder.idleDataIn = 1;
    EXPECT_EQ(readDataIn(rig.ctx), 1);
    EXPECT_EQ(rig.state.inputWord, 0x4001);
    EXPECT_EQ(rig.recorder.lastBase, 0x278);
    rig.recorder.idleDataIn = 0;
    EXPECT_EQ(readDataIn(rig.ctx), 0);
    EXPECT_EQ(rig.state.inputWord, 0x0001);
}

TEST(ParallelLines, DriverFailureIsShownOnceAndEndsTheMainDialog) {
    RecordingRig rig;
    rig.selectParallel(false);
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &mainWindow;
    rig.state.inputWord = 0x1234;
    rig.recorder.portIoFails = true;

    setClock(rig.ctx, true);
    EXPECT_EQ(readDataIn(rig.ctx), 0);
    setReset(rig.ctx, true);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text, "Error during driver access!");
    EXPECT_EQ(rig.host.messages[0].caption, "Error");
    EXPECT_EQ(rig.host.messages[0].ownerId, 0);
    EXPECT_TRUE(mainWindow.ended());
    EXPECT_EQ(mainWindow.result(), 1);
    EXPECT_EQ(rig.state.inputWord, 0x1234);
    EXPECT_TRUE(linesFailed(rig.ctx));
    // Only the first access reached the port.
    EXPECT_EQ(rig.recorder.operations, 1);
}

TEST(ParallelLines, ACommandInADialogStillOpenTriesThePortAgain) {
    RecordingRig rig;
    rig.selectParallel(false);
    ui::Dialog mainWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &mainWindow;
    rig.recorder.portIoFails = true;
    setClock(rig.ctx, true);
    setClock(rig.ctx, false);
    EXPECT_EQ(rig.host.messages.size(), 1u);

    // The ended dialog was a sub-dialog; the next command runs in the main dialog.
    ui::Dialog otherWindow(resources::mainDialogTemplate());
    rig.ctx.mainWindow = &otherWindow;
    rig.recorder.portIoFails = false;
    setClock(rig.ctx, true);
    EXPECT_FALSE(linesFailed(rig.ctx));
    EXPECT_THAT(rig.changes(), ElementsAre("write data failed", "data 0x02"));
}

TEST(ParallelLines, WithoutAnyAccessMethodTheFirstAccessFails) {
    RecordingRig rig;
    rig.selectParallel(false);
    rig.port.portDriverReady = false;
    readInputWord(rig.ctx);
    writeOutputImage(rig.ctx);
    EXPECT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.recorder.operations, 0);
}

}  // namespace
}  // namespace adapter
