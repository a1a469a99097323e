// The processor service on the recorded lines: instruction bytes, the resynchronising
// CLOCK pulse, the activity line, ispConnect against stuck, random or lost lines, and a
// calibration whose final read-back differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "isp/isp_access.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "ui/dialog.h"

namespace isp {
namespace {

struct RecordedIsp {
    RecordedIsp() {
        rig.ctx.mainWindow = &mainDialog;
        rig.recorder.operationCostNs = 50'000;  // keeps the bit delay calibration short
    }
    // The answer the processor shifts out during one 4-byte instruction.
    void queueInstruction(int a1, int a2, int a3, int a4) {
        for (int value : {a1, a2, a3, a4}) {
            rig.queueByte(value);
        }
    }
    // An echoed Programming Enable, then the signature 1E <family> 07.
    void queueProcessor(int family = 0x93) {
        queueInstruction(0x00, 0xAC, 0x53, 0x00);
        for (int value : {0x1E, family, 0x07}) {
            queueInstruction(0, 0, 0, value);
        }
    }
    // DATA-OUT at each rising CLOCK edge: serial lines, or bits 0 and 1 of the data register.
    std::vector<int> sentBits() const {
        std::vector<int> bits;
        bool dataOut = false;
        int clock = 0;
        for (const adapter::testing::Event& event : rig.recorder.events) {
            if (event.what.starts_with("DATA-OUT")) {
                dataOut = event.what == "DATA-OUT high";
            } else if (event.what == "CLOCK high") {
                bits.push_back(dataOut ? 1 : 0);
            } else if (event.what.starts_with("data 0x")) {
                const int value = std::stoi(event.what.substr(7), nullptr, 16);
                if ((value & ~clock & 0x02) != 0) {
                    bits.push_back(value & 0x01);
                }
                clock = value;
            }
        }
        return bits;
    }
    std::vector<int> sentBytes() const {
        const std::vector<int> bits = sentBits();
        std::vector<int> bytes(bits.size() / 8);
        for (std::size_t i = 0; i < bytes.size() * 8; ++i) {
            bytes[i / 8] = bytes[i / 8] * 2 + bits[i];
        }
        return bytes;
    }
    int risingEdges() const { return static_cast<int>(sentBits().size()); }
    int portOperations() const { return rig.recorder.operations - rig.serialPorts.opens; }

    adapter::testing::RecordingRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.ctx, state};
};

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
    // Extra CLOCK pulses: high and low, 2 ms before, between and after.
    int pulses() const {
        const bool serial = GetParam() == adapter::PortKind::Serial;
        const std::vector<std::string> one = {"wait 2 ms", serial ? "CLOCK high" : "data 0x02",
                                              "wait 2 ms", serial ? "CLOCK low" : "data 0x00",
                                              "wait 2 ms"};
        const std::vector<std::string> changes = isp.rig.changes();
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
    isp.queueProcessor();
    EXPECT_EQ(ispProgrammingEnable(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.rig.state.enableAnswer, 0x5300);
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

TEST_P(OnBothAdapters, ResyncPulsesOnceAfterEachMissUntilTheEchoOrThirtyFiveMisses) {
    for (int miss = 0; miss < 2; ++miss) {
        isp.queueInstruction(0xFF, 0xFF, 0xFF, 0xFF);
        isp.rig.recorder.answerBits.push_back(0);  // the pulse moves the answer on a bit
    }
    isp.queueInstruction(0x00, 0xAC, 0x53, 0x00);
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 3 * 32 + 2);
    EXPECT_EQ(pulses(), 2);

    isp.rig.recorder.clear();  // answered: the next resync sends nothing
    EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
    EXPECT_TRUE(isp.rig.recorder.events.empty());

    isp.rig.state.enableAnswer = 0;
    isp.rig.recorder.idleDataIn = GetParam() == adapter::PortKind::Serial ? 0 : 1;
    EXPECT_NE(ispResync(isp.rig.ctx), 0x53);
    EXPECT_EQ(isp.risingEdges(), 35 * 33);  // the last miss is pulsed too
    EXPECT_EQ(pulses(), 35);
}

TEST(ShowActivity, TextBeforeTheFirstControlCharacterThenEightyBlanksWithinTheBuffer) {
    const std::string blanks(80, ' ');
    const std::string x123(123, 'x');  // the longest that fits
    const std::pair<std::string, std::string> cases[] = {
        {"connecting....\n", "connecting...." + blanks},
        {"a\tb", "a" + blanks},
        {"", blanks},
        {"Gerät\r\n", "Gerät" + blanks},
        {x123, x123 + blanks},
        {x123 + "yyy", x123 + blanks},
        {x123.substr(1) + "ä", x123.substr(1) + blanks},  // never half an ä
    };
    RecordedIsp isp;
    int repaints = 0;
    for (const auto& [text, shown] : cases) {
        SCOPED_TRACE(text);
        setActivityText(isp.state, text);
        showActivity(isp.ctx);
        EXPECT_EQ(isp.mainDialog.text(ids::StatusField), shown);
        EXPECT_EQ(std::string(isp.state.activityText.data()), shown);
        EXPECT_EQ(isp.state.activityText.back(), '\0');
        EXPECT_EQ(isp.rig.host.repaints, ++repaints);
    }
    isp.rig.ctx.mainWindow = nullptr;  // only the buffer changes
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
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        RecordedIsp isp;
        if (run >= 2) {
            isp.rig.selectParallel();
        }
        isp.rig.recorder.idleDataIn = run % 2;
        EXPECT_EQ(ispConnect(isp.ctx), 1);
        EXPECT_EQ(isp.rig.messageText, "No Connection!\n\n");
        EXPECT_FALSE(isp.rig.state.ispConnected);
        EXPECT_EQ(isp.risingEdges(), mostEdgesWithoutEcho);
        EXPECT_EQ(isp.rig.recorder.count("wait 200 ms"), 1);  // one long reset
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
        EXPECT_TRUE((result == 0 && ((family >= 0x90 && family <= 0x94) || family == 0xFF)) ||
                    (result == 1 && (text.starts_with("No Connection!\n\n") ||
                                     text.starts_with("Unknown Device Code!\n\n"))) ||
                    (result == 2 && text.starts_with("Device locked!\n\n")))
            << result << ' ' << family << ' ' << text;
    }
}

// Scripted runs over a port that vanishes after failAfter operations on it (-1: never).
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
int calibrate(RecordedIsp& isp, int failAfter) {  // returns how often RESET was raised
    isp.queueProcessor();
    isp.rig.recorder.serialFailAfter = failAfter;
    calibrateOscillator(isp.ctx);
    return isp.rig.recorder.count("RESET high");
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

TEST(LostPort, NothingReadThroughALostPortOrAFailingDriverCounts) {
    // The last failure point from the operations of a plain connection and of the
    // undisturbed run; `points` of them spread from there down to the first operation.
    const struct {
        const char* name;
        int (*run)(RecordedIsp&, int);
        int (*failAfter)(int connect, int own);
        int points;
        int result;
        std::string text, caption;  // the only box; none when empty
    } cases[] = {
        // clang-format off
        {"connect", connectErased, [](int, int own) { return own - 1; }, 24, 1, "", ""},
        {"parallel driver", connectWithFailingDriver, [](int, int) { return -1; }, 1, 1,
         "Error during driver access!", "Error"},
        // Never started, so never written.
        {"calibration byte", calibrate, [](int connect, int) { return connect + 100; }, 1, 1,
         "Keine Verbindung!", "ERROR!"},
        {"lock bits", showInfo, [](int, int own) { return own - 50; }, 1, 0,
         "Keine Verbindung!", "ERROR!"},
        // clang-format on
    };
    RecordedIsp plain;
    plain.queueProcessor();
    ASSERT_EQ(ispConnect(plain.ctx), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordedIsp undisturbed;
        c.run(undisturbed, -1);
        const int last = c.failAfter(plain.portOperations(), undisturbed.portOperations());
        for (int point = 0; point < c.points; ++point) {
            const int failAfter = last - last * point / std::max(1, c.points - 1);
            SCOPED_TRACE(failAfter);
            RecordedIsp isp;
            EXPECT_EQ(c.run(isp, failAfter), c.result);
            ASSERT_LE(isp.rig.host.messages.size(), 1u) << isp.rig.host.lastText();
            EXPECT_EQ(isp.rig.host.lastText(), c.text);
            EXPECT_EQ(isp.rig.host.lastCaption(), c.caption);
            EXPECT_TRUE(isp.rig.host.messages.empty() || isp.rig.host.messages[0].ownerId == 0);
            EXPECT_EQ(isp.mainDialog.ended(), c.run == connectWithFailingDriver);
        }
    }
}

// The final read-back differs although the write was confirmed.
TEST(Calibration, FinalReadDifferingFromTargetIsReportedAsFailed) {
    RecordedIsp isp;
    isp.queueProcessor();
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

}  // namespace
}  // namespace isp
