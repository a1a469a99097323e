// The processor service on recorded lines, and end to end on the virtual controller.
#include <gtest/gtest.h>

#include <algorithm>

#include "adapter/adapter.h"
#include "adapter/test_rig.h"
#include "isp/isp.h"
#include "isp/isp_access.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/procedure_rig.h"
#include "ui/dialog.h"

namespace isp {
namespace {

using adapter::PortKind;
using adapter::testing::boxes;

// An echoed Programming Enable, then the signature 1E 93 07.
const std::string processor = "00 AC 53 00 00 00 00 1E 00 00 00 93 00 00 00 07 ";

struct RecordedIsp {
    explicit RecordedIsp(PortKind kind = PortKind::Serial, bool openPort = false) {
        rig.ctx.mainWindow = &mainDialog;
        rig.recorder.operationCostNs = 50'000;  // keeps the bit delay calibration short
        if (kind == PortKind::Parallel) {
            rig.selectParallel();
        } else if (openPort) {
            EXPECT_EQ(adapter::openSerialPort(rig.ctx), 0);
            rig.recorder.clear();
        }
    }
    void queue(const std::string& answer) { rig.recorder.queue(answer); }
    // Extra CLOCK pulses: high and low, 2 ms before, between and after.
    int pulses(bool serial) const {
        const std::string changes = adapter::testing::joined(rig.changes());
        const std::string one = serial ? "wait 2 ms, CLOCK high, wait 2 ms, CLOCK low, wait 2 ms"
                                       : "wait 2 ms, data 0x02, wait 2 ms, data 0x00, wait 2 ms";
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

TEST(IspAccess, ResyncPulsesAfterEachMissOnBothAdapters) {
    for (PortKind kind : {PortKind::Serial, PortKind::Parallel}) {
        SCOPED_TRACE(kind == PortKind::Serial ? "serial" : "parallel");
        RecordedIsp isp{kind, true};
        for (int miss = 0; miss < 2; ++miss) {
            isp.queue("FF FF FF FF");
            isp.rig.recorder.answerBits.push_back(0);  // the pulse moves the answer on a bit
        }
        isp.queue("00 AC 53 00");
        EXPECT_EQ(ispResync(isp.rig.ctx), 0x53);
        EXPECT_EQ(isp.pulses(kind == PortKind::Serial), 2);
    }
}

// A processor that echoed in this connection is only reset when a later enable misses:
// a resynchronisation would move a framing that was right.
TEST(IspConnect, AProcessorThatAnsweredIsNotResynchronised) {
    RecordedIsp isp{PortKind::Parallel};
    isp.queue("00 AC 53 00 00 00 00 1E 00 00 00 8F 00 00 00 07");
    isp.queue("FF FF FF FF");  // the enable after the plain reset misses
    isp.queue(processor);      // the one after the long reset does not
    EXPECT_EQ(ispConnect(isp.ctx), IspConnection::Connected);
    // No resynchronisation took the place of the long reset that lets the controller run.
    EXPECT_EQ(isp.pulses(false), 0);
    EXPECT_EQ(isp.rig.recorder.count("wait 200 ms"), 1);
}

TEST(ShowActivity, TextBeforeTheFirstControlCharacterThenEightyBlanksWithinTheBuffer) {
    const std::string blanks(80, ' ');
    const std::string x123(123, 'x');  // the longest that fits before the blanks
    const std::pair<std::string, std::string> cases[] = {
        {"connecting....\n", "connecting...." + blanks},
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
}

TEST(Calibration, OnRecordedLines) {
    RecordedIsp plain;
    plain.queue(processor);
    ASSERT_EQ(ispConnect(plain.ctx), IspConnection::Connected);
    RecordedIsp lost;  // the port vanishes while the calibration byte is read
    lost.queue(processor);
    lost.rig.recorder.serialFailAfter =
        plain.rig.recorder.operations - plain.rig.serialPorts.opens + 100;
    EXPECT_EQ(calibrateOscillator(lost.ctx), ui::Outcome::Failed);
    EXPECT_TRUE(lost.rig.state.ispConnected);
    EXPECT_EQ(lost.rig.recorder.count("RESET high"), 1);  // never started, so never written
    EXPECT_EQ(boxes(lost.rig.host), "0 ERROR!: Keine Verbindung!");

    RecordedIsp differs;  // calibration byte A5; probe twice, old 5A, write confirmed, new 5A
    differs.queue(processor + "00 00 00 A5 00 FE 00 FE 00 00 5A 00 00 00 A5 00 00 5A");
    EXPECT_EQ(calibrateOscillator(differs.ctx), ui::Outcome::Failed);
    EXPECT_EQ(boxes(differs.rig.host),
              "0 Kalibrierung fehlgeschlagen!: soll: A5\n\nalt: 5A\nneu: 5A");
}

using Rig = sim::TestRig;
constexpr int oscCalibration = 15;

struct SimIsp : sim::ProcedureRig {
    SimIsp() { memory()[oscCalibration] = 0xFF; }
    long rises(sim::Line line) {
        const auto& events = rig.controller().trace().events();
        return std::count_if(events.begin(), events.end(),
                             [&](const sim::LineEvent& e) { return e.line == line && e.high; });
    }
};

// "1E 93 07" as the three signature lines.
std::string signatureLines(const std::string& bytes) {
    return "Vendor Code: " + bytes.substr(0, 2) + "\nPart Family: " + bytes.substr(3, 2) +
           "\nPart Number: " + bytes.substr(6, 2) + "\n";
}

TEST(IspConnect, OutcomesResetsAndPulses) {
    using enum sim::FamilyOneReads;
    using enum IspConnection;
    const std::string unknown = "Unknown Device Code!\n\n";
    const struct {
        const char* name;
        sim::IspConfig config;
        IspConnection result;
        std::string failure;    // messageText before the signature lines
        std::string signature;  // the last one read; empty: none
        int resets;
        int pulses;
    } cases[] = {
        // clang-format off
        {"family 90", {.signature = {0x1E, 0x90, 0x07}}, Connected, "", "1E 90 07", 1, 4 * 32},
        {"family 94", {.signature = {0x1E, 0x94, 0x07}}, Connected, "", "1E 94 07", 1, 4 * 32},
        // The first attempt had the echo, so only one reset more.
        {"family 8F", {.signature = {0x1E, 0x8F, 0x07}}, Failed, unknown, "1E 8F 07", 2, 8 * 32},
        {"family 95", {.signature = {0x1E, 0x95, 0x07}}, Failed, unknown, "1E 95 07", 2, 8 * 32},
        // 73 enables; 35 extra pulses in each of the two resyncs.
        {"silent", {.neverEchoes = true}, Failed, "No Connection!\n\n", "", 4, 73 * 32 + 2 * 35},
        {"locked twice", {.familyOne = Always}, Locked, "Device locked!\n\n", "00 01 02", 3,
         12 * 32},
        {"locked once, then 93", {.familyOne = Once, .familyOnePasses = 2}, Failed, unknown, "1E 93 07",
         3, 12 * 32},
        {"erased", {.signatureErased = true}, Connected, "", "FF FF FF", 2, 8 * 32},
        // Two enables out of step, then one with a pulse for each bit the processor is ahead.
        {"1 bit ahead", {.frameOffsetBits = 1}, Connected, "", "1E 93 07", 2, 6 * 32 + 31 * 33},
        {"31 bits ahead", {.frameOffsetBits = 31}, Connected, "", "1E 93 07", 2, 6 * 32 + 1 * 33},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (bool parallel : {false, true}) {  // the extra pulse differs by adapter
            SCOPED_TRACE(std::string(c.name) + (parallel ? ", parallel" : ", serial"));
            SimIsp isp;
            if (parallel) {
                isp.rig.selectParallel();
            }
            isp.rig.ispConfig() = c.config;
            EXPECT_EQ(ispConnect(isp.ispCtx), c.result);
            const std::string lines =
                c.signature.empty() ? "" : signatureLines(c.signature) + "Echo 53 received";
            EXPECT_EQ(isp.ispState.deviceInfoText, lines);
            EXPECT_EQ(isp.rig.messageText(), c.result == Connected ? "" : c.failure + lines);
            EXPECT_EQ(isp.rig.linkState().ispConnected, c.result != Failed);
            EXPECT_EQ(isp.rises(sim::Line::Reset), c.resets);
            EXPECT_EQ(isp.rises(sim::Line::Clock), c.pulses);
            EXPECT_EQ(boxes(isp.rig.host()),
                      c.signature == "FF FF FF" ? "0 Warning:: Device Code erased!\n\n" : "");
        }
    }
}

TEST(ServiceCommands, ReportsAndWaysOut) {
    const auto stillBooting = [](Rig& r) { r.controllerConfig().bootNs = 2'000'000'000; };
    using enum ui::Outcome;
    const std::string info =
        "0 Info:: " + signatureLines("1E 93 07") + "\nLockbits: FF\nFuse HB: D9\nFuse LB: E1\n";
    const struct {
        const char* name;
        ui::Outcome (*command)(IspContext&);
        void (*configure)(Rig&);
        std::string box;
        ui::Outcome outcome;
        bool running;  // the controller left running, else held in reset
    } cases[] = {
        // clang-format off
        // The probe's 0xFD: nothing written.
        {"calibrate, other kind", calibrateOscillator,
         [](Rig& r) { r.controllerConfig().kind = sim::DeviceKind::OtherKind; },
         "0 ERROR!: angeschlossenes Gerät ist kein ZEK-Micro!", Failed, true},
        {"calibrate, firmware silent", calibrateOscillator, stillBooting,
         "1227 Error: Keine Verbindung!", Failed, true},
        // Held in reset; the field no longer says "connecting....".
        {"calibrate, locked", calibrateOscillator,
         [](Rig& r) { r.ispConfig().familyOne = sim::FamilyOneReads::Always; },
         "0 ERROR!: Keine Verbindung!", Failed, false},
        // A second run finds the factory value already there.
        {"calibrate twice",
         [](IspContext& ctx) { return (void)calibrateOscillator(ctx), calibrateOscillator(ctx); },
         [](Rig&) {}, "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: FF\nneu: A5, "
         "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: A5\nneu: A5", Done, true},
        {"info", showControllerInfo, [](Rig&) {}, info, Done, false},
        {"info, probe unanswered", showControllerInfo, stillBooting, info, Done, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimIsp isp;
        c.configure(isp.rig);
        EXPECT_EQ(c.command(isp.ispCtx), c.outcome);
        EXPECT_EQ(boxes(isp.rig.host()), c.box);
        EXPECT_EQ(isp.rig.controller().mode() == sim::ControllerMode::Firmware, c.running);
        EXPECT_EQ(isp.rig.setupMemory()[oscCalibration],
                  c.box.find("erfolg") == std::string::npos ? 0xFF : 0xA5);
        EXPECT_EQ(isp.mainDialog.text(ids::StatusField), " ");
        EXPECT_FALSE(isp.mainDialog.enabled(ids::StatusField));
    }
}

}  // namespace
}  // namespace isp
