// The processor service end to end on the virtual controller: ispConnect's outcomes with
// the resets and CLOCK pulses each way in takes, and both menu commands with every box,
// the status field, setup byte 15 and the controller left running or held in reset.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "isp/isp.h"
#include "isp/isp_access.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"
#include "ui/dialog.h"

namespace isp {
namespace {

enum class AdapterKind { Serial, Parallel };
using Mode = sim::ControllerMode;
using Rig = sim::TestRig;
constexpr int oscCalibration = 15;

struct SimIsp {
    explicit SimIsp(AdapterKind kind) {
        if (kind == AdapterKind::Parallel) {
            rig.selectParallel();
        }
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

    sim::TestRig rig;
    ui::Dialog mainDialog{resources::mainDialogTemplate()};
    IspState state;
    IspContext ctx{rig.link(), state};
};

// Each message box as "owner caption: text".
std::vector<std::string> boxes(SimIsp& isp) {
    std::vector<std::string> all;
    for (const ui::RecordedMessage& box : isp.rig.host().messages) {
        all.push_back(std::to_string(box.ownerId) + ' ' + box.caption + ": " + box.text);
    }
    return all;
}

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

std::string infoReport(const std::string& signature, const std::string& lockFuses) {
    return signatureLines(signature) + "\nLockbits: " + lockFuses.substr(0, 2) +
           "\nFuse HB: " + lockFuses.substr(3, 2) + "\nFuse LB: " + lockFuses.substr(6, 2) + "\n";
}

const std::string noConnection = "0 ERROR!: Keine Verbindung!";
const std::string otherKind = "0 ERROR!: angeschlossenes Gerät ist kein ZEK-Micro!";
const std::string noAdapter = "1227 Error: No Adaptor found at COM2\n";
const std::string erased = "0 Warning:: Device Code erased!\n\n";
const std::string defaultInfo =
    "0 Info:: Vendor Code: 1E\nPart Family: 93\nPart Number: 07\n\nLockbits: FF\nFuse HB: D9\n"
    "Fuse LB: E1\n";

// clang-format off
constexpr auto asIs = [](Rig&) {};
constexpr auto locked = [](Rig& r) { r.ispConfig().familyOne = sim::FamilyOneReads::Always; };
constexpr auto erase = [](Rig& r) { r.ispConfig().signatureErased = true; };
constexpr auto otherDevice = [](Rig& r) { r.controllerConfig().kind = sim::DeviceKind::OtherKind; };
constexpr auto noAdaptor = [](Rig& r) { r.serialConfig().loopBack = sim::LoopBack::Missing; };
constexpr auto stillBooting = [](Rig& r) { r.controllerConfig().bootNs = 2'000'000'000; };
constexpr auto silent = [](Rig& r) { r.ispConfig().neverEchoes = true; };
constexpr auto lockedOnce = [](Rig& r) {
    r.ispConfig().familyOne = sim::FamilyOneReads::Once;
    r.ispConfig().familyOnePasses = 2;  // the locked retry reads 93
};
constexpr auto connectedBefore = [](Rig& r) {
    r.ispConfig().frameOffsetBits = 1;
    r.linkState().ispConnected = true;
};
constexpr auto noStick = [](Rig& r) { r.controllerConfig().setupWritesStick = false; };
constexpr auto otherBytes = [](Rig& r) {
    r.ispConfig().lockBits = 0x3C;
    r.ispConfig().fuseHigh = 0x01;
    r.ispConfig().fuseLow = 0x80;
};
// clang-format on

class Connect : public ::testing::TestWithParam<AdapterKind> {};

INSTANTIATE_TEST_SUITE_P(IspConnect, Connect,
                         ::testing::Values(AdapterKind::Serial, AdapterKind::Parallel),
                         [](const auto& info) {
                             return info.param == AdapterKind::Serial ? "Serial" : "Parallel";
                         });

TEST_P(Connect, OutcomesResetsAndPulses) {
    const auto family = [](int value) {
        return [value](Rig& r) { r.ispConfig().signature[1] = static_cast<std::uint8_t>(value); };
    };
    const auto offset = [](int bits) {
        return [bits](Rig& r) { r.ispConfig().frameOffsetBits = bits; };
    };
    const struct {
        const char* name;
        std::function<void(Rig&)> configure;
        int result;
        std::string failure;    // messageText before the signature lines
        std::string signature;  // the last one read; empty: none
        int resets;
        int pulses;  // 0: not counted
    } cases[] = {
        // clang-format off
        {"in step", asIs, 0, "", "1E 93 07", 1, 4 * 32},
        {"family 90", family(0x90), 0, "", "1E 90 07", 1, 4 * 32},
        {"family 94", family(0x94), 0, "", "1E 94 07", 1, 4 * 32},
        // The first attempt had the echo, so only one reset more.
        {"family 8F", family(0x8F), 1, "Unknown Device Code!\n\n", "1E 8F 07", 2, 0},
        {"family 95", family(0x95), 1, "Unknown Device Code!\n\n", "1E 95 07", 2, 0},
        // 73 enables; 35 extra pulses in each of the two resyncs.
        {"silent", silent, 1, "No Connection!\n\n", "", 4, 73 * 32 + 2 * 35},
        {"locked twice", locked, ispLocked, "Device locked!\n\n", "00 01 02", 3, 0},
        {"locked once, then 93", lockedOnce, 1, "Unknown Device Code!\n\n", "1E 93 07", 3, 0},
        {"erased", erase, 0, "", "FF FF FF", 2, 0},
        {"1 bit out of step", offset(1), 0, "", "1E 93 07", 2, outOfStepPulses(1)},
        {"7 bits out of step", offset(7), 0, "", "1E 93 07", 2, outOfStepPulses(7)},
        {"31 bits out of step", offset(31), 0, "", "1E 93 07", 2, outOfStepPulses(31)},
        // Not resynchronised after the second reset; the long reset's resync finds the step.
        {"connected before, out of step", connectedBefore, 0, "", "1E 93 07", 4,
         3 * 32 + 31 * 33 + 4 * 32},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimIsp isp{GetParam()};
        c.configure(isp.rig);
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
        EXPECT_EQ(isp.rig.controller().mode(), Mode::InReset);
        EXPECT_EQ(boxes(isp), std::vector<std::string>(c.signature == "FF FF FF", erased));
        for (const ui::RecordedMessage& message : isp.rig.host().messages) {
            EXPECT_EQ(message.buttons, ui::Buttons::Ok);
        }
    }
}

TEST(ServiceCommands, ReportsAndWaysOut) {
    enum Adapters { Both, SerialOnly, ParallelOnly };
    const struct {
        const char* name;
        void (*command)(IspContext&);
        Adapters adapters;
        void (*configure)(Rig&);
        std::optional<std::vector<std::string>> boxes;  // none: some box, its text not fixed
        std::optional<Mode> mode;
        int byte15;  // starts at 0xFF
    } cases[] = {
        // clang-format off
        {"calibrate, other kind", calibrateOscillator, SerialOnly, otherDevice,
         {{otherKind}}, Mode::Firmware, 0xFF},
        {"calibrate, locked", calibrateOscillator, SerialOnly, locked,
         {{noConnection}}, Mode::InReset, 0xFF},
        {"calibrate, erased", calibrateOscillator, SerialOnly, erase,
         {{erased, "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: FF\nneu: A5"}}, Mode::Firmware,
         0xA5},
        {"calibrate, no adapter", calibrateOscillator, SerialOnly, noAdaptor,
         {{noAdapter}}, {}, 0xFF},
        {"calibrate, firmware silent", calibrateOscillator, SerialOnly, stillBooting,
         {{"1227 Error: Keine Verbindung!"}}, {}, 0xFF},
        {"calibrate, write does not stick", calibrateOscillator, SerialOnly, noStick,
         {{"0 Error!: Schreibfehler!"}}, {}, 0xFF},
        // The start sequence drives the serial lines only.
        {"calibrate on parallel", calibrateOscillator, ParallelOnly, asIs, {}, Mode::InReset, 0xFF},
        {"info", showControllerInfo, Both, asIs, {{defaultInfo}}, Mode::InReset, 0xFF},
        {"info, other bytes", showControllerInfo, Both, otherBytes,
         {{"0 Info:: " + infoReport("1E 93 07", "3C 01 80")}}, {}, 0xFF},
        {"info, locked", showControllerInfo, Both, locked, {{noConnection}}, {}, 0xFF},
        // One warning for each connection.
        {"info, erased", showControllerInfo, Both, erase,
         {{erased, erased, "0 Info:: " + infoReport("FF FF FF", "FF D9 E1")}}, {}, 0xFF},
        {"info, probe unanswered", showControllerInfo, SerialOnly, stillBooting,
         {{defaultInfo}}, {}, 0xFF},
        // Started for the probe and left running.
        {"info, other kind", showControllerInfo, SerialOnly, otherDevice,
         {{otherKind}}, Mode::Firmware, 0xFF},
        {"info, no adapter", showControllerInfo, SerialOnly, noAdaptor, {{noAdapter}}, {}, 0xFF},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (AdapterKind kind : {AdapterKind::Serial, AdapterKind::Parallel}) {
            if ((c.adapters == SerialOnly && kind == AdapterKind::Parallel) ||
                (c.adapters == ParallelOnly && kind == AdapterKind::Serial)) {
                continue;
            }
            SCOPED_TRACE(std::string(c.name) +
                         (kind == AdapterKind::Serial ? " on serial" : " on parallel"));
            SimIsp isp{kind};
            c.configure(isp.rig);
            c.command(isp.ctx);
            EXPECT_FALSE(isp.rig.host().messages.empty());
            if (c.boxes) {
                EXPECT_EQ(boxes(isp), *c.boxes);
            }
            if (c.mode) {
                EXPECT_EQ(isp.rig.controller().mode(), *c.mode);
            }
            EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], c.byte15);
            EXPECT_EQ(isp.mainDialog.text(ids::StatusField), " ");
            EXPECT_FALSE(isp.mainDialog.enabled(ids::StatusField));
        }
    }
}

TEST(Calibration, CopiesTheFactoryValueAndASecondRunFindsItThere) {
    SimIsp isp{AdapterKind::Serial};
    std::vector<std::pair<std::string, bool>> fields;
    isp.rig.host().onRepaint = [&](ui::Dialog& dialog) {
        fields.emplace_back(dialog.text(ids::StatusField), dialog.enabled(ids::StatusField));
    };
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xA5);
    EXPECT_EQ(isp.rig.controller().mode(), Mode::Firmware);
    ASSERT_GE(fields.size(), 3u);
    EXPECT_EQ(fields[0], std::make_pair(std::string("verbinden...."), true));
    EXPECT_EQ(fields[1], std::make_pair(std::string(" "), false));
    EXPECT_EQ(fields[2].first, "connecting...." + std::string(80, ' '));
    EXPECT_EQ(fields.back(), std::make_pair(std::string(" "), false));

    calibrateOscillator(isp.ctx);
    EXPECT_EQ(boxes(isp), (std::vector<std::string>{
                              "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: FF\nneu: A5",
                              "0 Kalibrierung erfolgreich!: soll: A5\n\nalt: A5\nneu: A5"}));
}

}  // namespace
}  // namespace isp
