// The processor service on recorded lines and end to end on the virtual controller:
// instruction bytes, the resynchronising pulse, the activity line, ispConnect's outcomes,
// both menu commands and their reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "adapter/adapter.h"
#include "adapter/testing/recording_lines.h"
#include "isp/isp.h"
#include "isp/isp_access.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"
#include "ui/dialog.h"

namespace isp {
namespace {

using adapter::PortKind;

struct RecordedIsp {
    explicit RecordedIsp(PortKind kind = PortKind::Serial) {
        rig.ctx.mainWindow = &mainDialog;
        rig.recorder.operationCostNs = 50'000;  // keeps the bit delay calibration short
        if (kind == PortKind::Parallel) {
            rig.selectParallel();
        }
    }
    void queueInstruction(std::initializer_list<int> answer) {
        for (int value : answer) {
            rig.queueByte(value);
        }
    }
    // An echoed Programming Enable, then the signature 1E 93 07.
    void queueProcessor() {
        queueInstruction({0x00, 0xAC, 0x53, 0x00});
        for (int value : {0x1E, 0x93, 0x07}) {
            queueInstruction({0, 0, 0, value});
        }
    }
    // DATA-OUT at each rising CLOCK edge: serial lines, or bits 0 and 1 of the data register.
    std::vector<int> sentBits() const {
        std::vector<int> bits;
        int dataOut = 0, clock = 0;
        for (const adapter::testing::Event& event : rig.recorder.events) {
            if (event.what.starts_with("DATA-OUT")) {
                dataOut = event.what == "DATA-OUT high";
            } else if (event.what == "CLOCK high") {
                bits.push_back(dataOut);
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
    // Extra CLOCK pulses: high and low, 2 ms before, between and after.
    int pulses(bool serial) const {
        std::string changes, one = serial ? "|wait 2 ms|CLOCK high|wait 2 ms|CLOCK low|wait 2 ms"
                                          : "|wait 2 ms|data 0x02|wait 2 ms|data 0x00|wait 2 ms";
        for (const std::string& change : rig.changes()) {
            changes += '|' + change;
        }
        int count = 0;
        for (auto at = changes.find(one); at != std::string::npos; at = changes.find(one, at + 1)) {
            ++count;
        }
        return count;
    }

    adapter::testing::RecordingRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.ctx, state};
};

TEST(IspAccess, InstructionBytesAndResyncPulsesOnBothAdapters) {
    for (PortKind kind : {PortKind::Serial, PortKind::Parallel}) {
        const bool serial = kind == PortKind::Serial;
        SCOPED_TRACE(serial ? "serial" : "parallel");
        RecordedIsp isp{kind};
        if (serial) {
            ASSERT_EQ(adapter::openSerialPort(isp.rig.ctx), 0);
            isp.rig.recorder.clear();
        }
        isp.queueInstruction({0x11, 0x22, 0x33, 0x44});
        EXPECT_EQ(ispCommand(isp.rig.ctx, 0x38, 0x00, 0x03, 0x00), 0x3344);
        isp.queueProcessor();
        EXPECT_EQ(ispProgrammingEnable(isp.rig.ctx), 0x53);
        EXPECT_EQ(ispReadSignature(isp.ctx), 0x93);
        const std::vector<int> bits = isp.sentBits();
        std::vector<int> bytes(bits.size() / 8);
        for (std::size_t i = 0; i < bytes.size() * 8; ++i) {
            bytes[i / 8] = bytes[i / 8] * 2 + bits[i];
        }
        EXPECT_EQ(bytes,
                  (std::vector<int>{0x38, 0x00, 0x03, 0x00, 0xAC, 0x53, 0x00, 0x00, 0x30, 0x00,
                                    0x00, 0x00, 0x30, 0x00, 0x01, 0x00, 0x30, 0x00, 0x02, 0x00}));

        isp.rig.recorder.clear();
        isp.rig.state.enableAnswer = 0;
        for (int miss = 0; miss < 2; ++miss) {
            isp.queueInstruction({0xFF, 0xFF, 0xFF, 0xFF});
            isp.rig.recorder.answerBits.push_back(0);  // the pulse moves the answer on a bit
        }
        isp.queueInstruction({0x00, 0xAC, 0x53, 0x00});
        EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
        EXPECT_EQ(isp.sentBits().size(), 3u * 32 + 2);
        EXPECT_EQ(isp.pulses(serial), 2);
        isp.rig.recorder.clear();  // answered: the next resync sends nothing
        EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
        EXPECT_TRUE(isp.rig.recorder.events.empty());
    }
}

TEST(ShowActivity, TextBeforeTheFirstControlCharacterThenEightyBlanksWithinTheBuffer) {
    const std::string blanks(80, ' ');
    const std::string x123(123, 'x');  // the longest that fits
    const std::pair<std::string, std::string> cases[] = {
        {"connecting....\n", "connecting...." + blanks},
        {x123, x123 + blanks},
        {x123 + "yyy", x123 + blanks},
        {x123.substr(1) + "ä", x123.substr(1) + blanks},  // never half an ä
    };
    RecordedIsp isp;
    for (const auto& [text, shown] : cases) {
        SCOPED_TRACE(text);
        setActivityText(isp.state, text);
        showActivity(isp.ctx);
        EXPECT_EQ(isp.mainDialog.text(ids::StatusField), shown);
        EXPECT_EQ(std::string(isp.state.activityText.data()), shown);
    }
    EXPECT_EQ(isp.rig.host.repaints, 4);
}

TEST(Calibration, AValueReadThroughALostPortIsNeverWritten) {
    RecordedIsp plain;
    plain.queueProcessor();
    ASSERT_EQ(ispConnect(plain.ctx), 0);
    RecordedIsp isp;
    isp.queueProcessor();
    isp.rig.recorder.serialFailAfter =
        plain.rig.recorder.operations - plain.rig.serialPorts.opens + 100;
    calibrateOscillator(isp.ctx);
    EXPECT_TRUE(isp.rig.state.ispConnected);             // lost after connecting
    EXPECT_EQ(isp.rig.recorder.count("RESET high"), 1);  // the controller never started
    EXPECT_EQ(isp.rig.host.messages.size(), 1u);
    EXPECT_EQ(isp.rig.host.lastText(), "Keine Verbindung!");
    EXPECT_EQ(isp.rig.host.messages.at(0).ownerId, 0);
}

TEST(Calibration, FinalReadDifferingFromTargetIsReportedAsFailed) {
    RecordedIsp isp;
    isp.queueProcessor();
    isp.queueInstruction({0, 0, 0, 0xA5});      // calibration byte
    for (int answer : {0x00, 0xFE, 0x00, 0xFE,  // probe, probe again
                       0x00, 0x00, 0x5A,        // old value
                       0x00, 0x00, 0x00, 0xA5,  // write, confirmed
                       0x00, 0x00, 0x5A}) {     // new value
        isp.rig.queueByte(answer);
    }
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.rig.host.messages.size(), 1u);
    EXPECT_EQ(isp.rig.host.lastText(), "soll: A5\n\nalt: 5A\nneu: 5A");
    EXPECT_EQ(isp.rig.host.lastCaption(), "Kalibrierung fehlgeschlagen!");
}

using Rig = sim::TestRig;
constexpr int oscCalibration = 15;

struct SimIsp {
    SimIsp() {
        rig.link().mainWindow = &mainDialog;
        mainDialog.setEnabled(ids::StatusField, false);  // idle, as between commands
        rig.setupMemory()[oscCalibration] = 0xFF;
    }
    int rises(sim::Line line) {
        int count = 0;
        for (const sim::LineEvent& event : rig.controller().trace().events()) {
            count += event.line == line && event.high ? 1 : 0;
        }
        return count;
    }
    // Each message box as "owner caption: text".
    std::vector<std::string> boxes() {
        std::vector<std::string> all;
        for (const ui::RecordedMessage& box : rig.host().messages) {
            all.push_back(std::to_string(box.ownerId) + ' ' + box.caption + ": " + box.text);
        }
        return all;
    }

    sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.link(), state};
};

// "1E 93 07" as the three signature lines.
std::string signatureLines(const std::string& bytes) {
    return "Vendor Code: " + bytes.substr(0, 2) + "\nPart Family: " + bytes.substr(3, 2) +
           "\nPart Number: " + bytes.substr(6, 2) + "\n";
}

// Two enables out of step, one more with an extra pulse after it for every bit the
// processor is ahead, then the one in step and the signature.
constexpr int outOfStepPulses(int offset) {
    return 2 * 32 + (32 - offset) * 33 + 4 * 32;
}

const std::string unknown = "Unknown Device Code!\n\n";
constexpr auto locked = [](Rig& r) { r.ispConfig().familyOne = sim::FamilyOneReads::Always; };

TEST(IspConnect, OutcomesResetsAndPulses) {
    using enum sim::FamilyOneReads;
    const struct {
        const char* name;
        sim::IspConfig config;
        int result;
        std::string failure;    // messageText before the signature lines
        std::string signature;  // the last one read; empty: none
        int resets;
        int pulses;  // 0: not counted
    } cases[] = {
        // clang-format off
        {"in step", {}, 0, "", "1E 93 07", 1, 4 * 32},
        {"family 90", {.signature = {0x1E, 0x90, 0x07}}, 0, "", "1E 90 07", 1, 4 * 32},
        {"family 94", {.signature = {0x1E, 0x94, 0x07}}, 0, "", "1E 94 07", 1, 4 * 32},
        // The first attempt had the echo, so only one reset more.
        {"family 8F", {.signature = {0x1E, 0x8F, 0x07}}, 1, unknown, "1E 8F 07", 2, 0},
        {"family 95", {.signature = {0x1E, 0x95, 0x07}}, 1, unknown, "1E 95 07", 2, 0},
        // 73 enables; 35 extra pulses in each of the two resyncs.
        {"silent", {.neverEchoes = true}, 1, "No Connection!\n\n", "", 4, 73 * 32 + 2 * 35},
        {"locked twice", {.familyOne = Always}, ispLocked, "Device locked!\n\n", "00 01 02", 3, 0},
        {"locked once, then 93", {.familyOne = Once, .familyOnePasses = 2}, 1, unknown, "1E 93 07", 3, 0},
        {"erased", {.signatureErased = true}, 0, "", "FF FF FF", 2, 0},
        {"1 bit out of step", {.frameOffsetBits = 1}, 0, "", "1E 93 07", 2, outOfStepPulses(1)},
        {"7 bits out of step", {.frameOffsetBits = 7}, 0, "", "1E 93 07", 2, outOfStepPulses(7)},
        {"31 bits out of step", {.frameOffsetBits = 31}, 0, "", "1E 93 07", 2, outOfStepPulses(31)},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimIsp isp;
        isp.rig.ispConfig() = c.config;
        EXPECT_EQ(ispConnect(isp.ctx), c.result) << isp.rig.messageText();
        const std::string lines =
            c.signature.empty() ? "" : signatureLines(c.signature) + "Echo 53 received";
        EXPECT_EQ(isp.state.deviceInfoText, lines);
        if (c.result != 0) {
            EXPECT_EQ(isp.rig.messageText(), c.failure + lines);
        }
        EXPECT_EQ(isp.rig.linkState().ispConnected, c.result != 1);
        EXPECT_EQ(isp.rises(sim::Line::Reset), c.resets);
        if (c.pulses != 0) {
            EXPECT_EQ(isp.rises(sim::Line::Clock), c.pulses);
        }
        EXPECT_EQ(isp.boxes(), std::vector<std::string>(c.signature == "FF FF FF",
                                                        "0 Warning:: Device Code erased!\n\n"));
    }
}

TEST(ServiceCommands, ReportsAndWaysOut) {
    const auto stillBooting = [](Rig& r) { r.controllerConfig().bootNs = 2'000'000'000; };
    const std::string info =
        "0 Info:: " + signatureLines("1E 93 07") + "\nLockbits: FF\nFuse HB: D9\nFuse LB: E1\n";
    const struct {
        const char* name;
        void (*command)(IspContext&);
        std::function<void(Rig&)> configure;
        std::string box;
        bool running;  // the controller left running, else held in reset
    } cases[] = {
        // clang-format off
        // The probe's 0xFD: nothing written.
        {"calibrate, other kind", calibrateOscillator,
         [](Rig& r) { r.controllerConfig().kind = sim::DeviceKind::OtherKind; },
         "0 ERROR!: angeschlossenes Gerät ist kein ZEK-Micro!", true},
        {"calibrate, no adapter", calibrateOscillator,
         [](Rig& r) { r.serialConfig().loopBack = sim::LoopBack::Missing; },
         "1227 Error: No Adaptor found at COM2\n", true},
        {"calibrate, firmware silent", calibrateOscillator, stillBooting,
         "1227 Error: Keine Verbindung!", true},
        {"info", showControllerInfo, [](Rig&) {}, info, false},
        {"info, locked", showControllerInfo, locked, "0 ERROR!: Keine Verbindung!", false},
        {"info, probe unanswered", showControllerInfo, stillBooting, info, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimIsp isp;
        c.configure(isp.rig);
        c.command(isp.ctx);
        EXPECT_EQ(isp.boxes(), std::vector<std::string>{c.box});
        EXPECT_EQ(isp.rig.controller().mode() == sim::ControllerMode::Firmware, c.running);
        EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xFF);
        EXPECT_EQ(isp.mainDialog.text(ids::StatusField), " ");
        EXPECT_FALSE(isp.mainDialog.enabled(ids::StatusField));
    }
}

TEST(Calibration, CopiesTheFactoryValueAndASecondRunFindsItThere) {
    SimIsp isp;
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xA5);
    EXPECT_EQ(isp.rig.controller().mode(), sim::ControllerMode::Firmware);
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.boxes(), (std::vector<std::string>{
                               "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: FF\nneu: A5",
                               "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: A5\nneu: A5"}));
}

}  // namespace
}  // namespace isp
