// The processor service on the recorded lines: instruction bytes, the resynchronising
// CLOCK pulse, the activity line, and ispConnect against stuck, random or lost lines.
#include <gtest/gtest.h>

#include <random>

#include "adapter/adapter.h"
#include "isp/isp_access.h"
#include "recorded_isp.h"

namespace isp {
namespace {

using testing::RecordedIsp;
using testing::Shown;

class OnBothAdapters : public ::testing::TestWithParam<adapter::PortKind> {
  protected:
    void SetUp() override {
        if (GetParam() == adapter::PortKind::Parallel) {
            isp.rig.selectParallel();
        } else {
            ASSERT_EQ(adapter::openSerialPort(isp.rig.ctx), 0);
            isp.rig.recorder.clear();
        }
    }
    // The line changes of one extra CLOCK pulse.
    std::vector<std::string> pulse() const {
        const bool serial = GetParam() == adapter::PortKind::Serial;
        return {"wait 2 ms", serial ? "CLOCK high" : "data 0x02", "wait 2 ms",
                serial ? "CLOCK low" : "data 0x00", "wait 2 ms"};
    }
    int pulses() const {
        const std::vector<std::string> changes = isp.rig.changes();
        const std::vector<std::string> one = pulse();
        int count = 0;
        for (std::size_t i = 0; i + one.size() <= changes.size(); ++i) {
            count += std::equal(one.begin(), one.end(), changes.begin() + i) ? 1 : 0;
        }
        return count;
    }

    RecordedIsp isp;
};

INSTANTIATE_TEST_SUITE_P(IspAccess, OnBothAdapters,
                         ::testing::Values(adapter::PortKind::Serial, adapter::PortKind::Parallel),
                         [](const auto& info) {
                             return info.param == adapter::PortKind::Serial ? "Serial" : "Parallel";
                         });

TEST_P(OnBothAdapters, InstructionsGoOutByteForByte) {
    isp.queueInstruction(0x11, 0x22, 0x33, 0x44);
    EXPECT_EQ(ispCommand(isp.rig.ctx, 0x38, 0x00, 0x03, 0x00), 0x3344);
    EXPECT_EQ(static_cast<std::uint32_t>(isp.rig.state.receiveRegister), 0x11223344u);

    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    EXPECT_EQ(ispProgrammingEnable(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.rig.state.enableAnswer, 0x5300);

    for (int value : {0x1E, 0x93, 0x07}) {
        isp.queueInstruction(0, 0, 0, value);
    }
    isp.state.deviceInfoText = "left over";
    EXPECT_EQ(ispReadSignature(isp.ctx), 0x93);
    EXPECT_EQ(isp.rig.state.partFamily, 0x93);
    EXPECT_EQ(isp.state.deviceInfoText,
              "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\nEcho 53 received");
    EXPECT_EQ(isp.sentBytes(),
              (std::vector<int>{0x38, 0x00, 0x03, 0x00, 0xAC, 0x53, 0x00, 0x00, 0x30, 0x00,
                                0x00, 0x00, 0x30, 0x00, 0x01, 0x00, 0x30, 0x00, 0x02, 0x00}));
    EXPECT_EQ(isp.risingEdges(), 5 * 32);
}

TEST_P(OnBothAdapters, ResyncPulsesAfterEachMissAndStopsAtTheEcho) {
    for (int miss = 0; miss < 2; ++miss) {
        isp.queueInstruction(0xFF, 0xFF, 0xFF, 0xFF);
        isp.rig.recorder.answerBits.push_back(0);  // the pulse moves the answer on a bit
    }
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 3 * 32 + 2);
    EXPECT_EQ(pulses(), 2);
    // Answered now: the next resync sends nothing.
    isp.rig.recorder.clear();
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_TRUE(isp.rig.recorder.events.empty());
}

TEST_P(OnBothAdapters, ResyncGivesUpAfterThirtyFiveAttemptsEachWithOnePulse) {
    isp.rig.recorder.idleDataIn = GetParam() == adapter::PortKind::Serial ? 0 : 1;
    EXPECT_NE(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 35 * 33);
    EXPECT_EQ(pulses(), 35);
    EXPECT_EQ(isp.rig.recorder.count("wait 2 ms"), 3 * 35);
    const std::vector<std::string> changes = isp.rig.changes();  // the last miss is pulsed too
    ASSERT_GE(changes.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(changes.end() - 5, changes.end()), pulse());
}

TEST(ShowActivity, TextBeforeTheFirstControlCharacterThenEightyBlanksWithinTheBuffer) {
    const std::string blanks(80, ' ');
    const struct {
        std::string text, shown;
    } cases[] = {
        {"connecting....\n", "connecting...." + blanks},
        {"a\tb", "a" + blanks},
        {"", blanks},
        {"Gerät\r\n", "Gerät" + blanks},
        {std::string(123, 'x'), std::string(123, 'x') + blanks},  // the longest that fits
        {std::string(500, 'y'), std::string(123, 'y') + blanks},
        {std::string(122, 'z') + "ä", std::string(122, 'z') + blanks},  // never half an ä
    };
    RecordedIsp isp;
    int repaints = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        setActivityText(isp.state, c.text);
        showActivity(isp.ctx);
        EXPECT_EQ(isp.mainDialog.text(ids::StatusField), c.shown);
        EXPECT_EQ(std::string(isp.state.activityText.data()), c.shown);
        EXPECT_EQ(isp.state.activityText.back(), '\0');
        EXPECT_EQ(isp.rig.host.repaints, ++repaints);
    }
    // Without a main window only the buffer changes.
    isp.rig.ctx.mainWindow = nullptr;
    setActivityText(isp.state, "b\n");
    showActivity(isp.ctx);
    EXPECT_EQ(std::string(isp.state.activityText.data()), "b" + blanks);
    EXPECT_EQ(isp.rig.host.repaints, repaints);
}

// 73 Programming Enables and 35 pulses in each of the two resyncs at most; then one more
// enable and two signature reads with a reset between.
constexpr int mostEdgesWithoutEcho = 73 * 32 + 2 * 35;
constexpr int mostEdges = mostEdgesWithoutEcho + 32 + 6 * 3 * 32;

TEST(IspConnect, StuckDataInIsNoConnectionAfterBothResyncs) {
    for (bool parallel : {false, true}) {
        for (int level : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "parallel " << parallel << " level " << level);
            RecordedIsp isp;
            if (parallel) {
                isp.rig.selectParallel();
            }
            isp.rig.recorder.idleDataIn = level;
            EXPECT_EQ(ispConnect(isp.ctx), 1);
            EXPECT_EQ(isp.rig.messageText, "No Connection!\n\n");
            EXPECT_FALSE(isp.rig.state.ispConnected);
            EXPECT_EQ(isp.risingEdges(), mostEdgesWithoutEcho);
            EXPECT_EQ(isp.rig.recorder.count("wait 200 ms"), 1);  // one long reset
        }
    }
}

TEST(IspConnect, RandomAnswersEndInOneOfTheOutcomesWithinTheBounds) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        RecordedIsp isp;
        std::mt19937 random(seed);
        if (seed % 4 == 0) {
            isp.queueInstruction(0, 0xAC, 0x53, 0);  // echoed: the signature decides
        }
        for (int bit = 0; bit < mostEdges + 64; ++bit) {
            isp.rig.recorder.answerBits.push_back(static_cast<int>(random() & 1));
        }
        const int result = ispConnect(isp.ctx);
        EXPECT_LE(isp.risingEdges(), mostEdges);
        const std::string& text = isp.rig.messageText;
        const int family = isp.rig.state.partFamily;
        switch (result) {
            case 0:
                EXPECT_TRUE((family >= 0x90 && family <= 0x94) || family == 0xFF) << family;
                break;
            case 1:
                EXPECT_TRUE(text.rfind("No Connection!\n\n", 0) == 0 ||
                            text.rfind("Unknown Device Code!\n\n", 0) == 0)
                    << text;
                break;
            case 2:
                EXPECT_EQ(text.rfind("Device locked!\n\n", 0), 0u) << text;
                break;
            default:
                ADD_FAILURE() << result;
        }
    }
}

// Scripted runs; the port vanishes after failAfter operations on it (-1: never).
int connectErased(RecordedIsp& isp, int failAfter) {
    isp.queueProcessor(0xFF);
    isp.queueProcessor(0xFF);  // read again after the second reset
    EXPECT_EQ(adapter::openSerialPort(isp.rig.ctx), 0);
    isp.rig.serialPorts.nextResult = adapter::SerialOpenResult::CannotOpen;
    isp.rig.recorder.serialFailAfter = failAfter;
    return ispConnect(isp.ctx);
}
int connectWithFailingDriver(RecordedIsp& isp, int) {
    isp.rig.selectParallel(false);
    isp.rig.recorder.portIoFails = true;
    return ispConnect(isp.ctx);
}
int calibrate(RecordedIsp& isp, int failAfter) {
    isp.queueProcessor();
    isp.rig.recorder.serialFailAfter = failAfter;
    calibrateOscillator(isp.ctx);
    return 0;
}
int showInfo(RecordedIsp& isp, int failAfter) {
    isp.queueProcessor();
    isp.rig.queueByte(0x00);  // the probe: ready
    isp.rig.queueByte(0xFE);
    isp.queueProcessor();
    for (int value : {0xD9, 0xE1, 0xFF}) {
        isp.queueInstruction(0, 0, 0, value);
    }
    isp.rig.recorder.serialFailAfter = failAfter;
    showControllerInfo(isp.ctx);
    return 0;
}

// Nothing read from a port that vanished or through a failing driver identifies the
// processor or is shown or written.
TEST(LostPort, NothingReadThroughALostPortCounts) {
    const struct {
        const char* name;
        int (*run)(RecordedIsp&, int);
        std::string undisturbed;  // the last text shown when the port stays
        // The point of failure from the operations of a plain connection and of the
        // undisturbed run; `points` failures spread up to it, from the first operation.
        int (*failAfter)(int connect, int own);
        int points;
        int result;
        std::vector<Shown> shown;
        int resetRaises;  // -1: not counted
    } cases[] = {
        {"connect",
         connectErased,
         "Device Code erased!\n\n",
         [](int, int own) { return own - 1; },
         24,
         1,
         {},
         -1},
        {"parallel driver",
         connectWithFailingDriver,
         "",
         [](int, int) { return -1; },
         1,
         1,
         {{"Error during driver access!", "Error", 0}},
         -1},
        // Never started, so never written.
        {"calibration byte",
         calibrate,
         "",
         [](int connect, int) { return connect + 100; },
         1,
         0,
         {{"Keine Verbindung!", "ERROR!", 0}},
         1},
        {"lock bits",
         showInfo,
         "Vendor Code: 1E\nPart Family: 93\nPart Number: 07\n\nLockbits: FF\nFuse HB: D9\n"
         "Fuse LB: E1\n",
         [](int, int own) { return own - 50; },
         1,
         0,
         {{"Keine Verbindung!", "ERROR!", 0}},
         -1},
    };
    RecordedIsp plain;
    plain.queueProcessor();
    ASSERT_EQ(ispConnect(plain.ctx), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordedIsp undisturbed;
        c.run(undisturbed, -1);
        if (!c.undisturbed.empty()) {
            ASSERT_EQ(undisturbed.rig.host.lastText(), c.undisturbed);
        }
        const int last = c.failAfter(plain.portOperations(), undisturbed.portOperations());
        for (int point = 0; point < c.points; ++point) {
            const int failAfter = c.points == 1 ? last : last * point / (c.points - 1);
            SCOPED_TRACE(failAfter);
            RecordedIsp isp;
            EXPECT_EQ(c.run(isp, failAfter), c.result);
            EXPECT_EQ(testing::shownBy(isp.rig.host), c.shown);
            if (c.resetRaises >= 0) {
                EXPECT_EQ(isp.rig.recorder.count("RESET high"), c.resetRaises);
            }
            EXPECT_EQ(isp.mainDialog.ended(), c.run == connectWithFailingDriver);
        }
    }
}

}  // namespace
}  // namespace isp
