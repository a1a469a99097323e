// "RC-Oszillator kalibieren" and "Prozessor-Info" end to end: the reports, every way out
// with its boxes, the status field, setup byte 15, and whether the controller is left
// running or held in reset.
#include <gtest/gtest.h>

#include <optional>

#include "isp/isp.h"
#include "recorded_isp.h"
#include "sim_isp.h"

namespace isp {
namespace {

using testing::AdapterKind;
using testing::Shown;
using testing::SimIsp;

using Mode = sim::ControllerMode;
using Rig = sim::TestRig;
constexpr int oscCalibration = 15;
constexpr int mainDialogId = 1227;

std::vector<Shown> shown(SimIsp& isp) {
    return testing::shownBy(isp.rig.host());
}

std::string infoReport(const std::string& signature, const std::string& lockFuses) {
    return "Vendor Code: " + signature.substr(0, 2) + "\nPart Family: " + signature.substr(3, 2) +
           "\nPart Number: " + signature.substr(6, 2) + "\n\nLockbits: " + lockFuses.substr(0, 2) +
           "\nFuse HB: " + lockFuses.substr(3, 2) + "\nFuse LB: " + lockFuses.substr(6, 2) + "\n";
}

const Shown noConnection{"Keine Verbindung!", "ERROR!"};
const Shown otherKind{"angeschlossenes Gerät ist kein ZEK-Micro!", "ERROR!"};
const Shown noAdapter{"No Adaptor found at COM2\n", "Error", mainDialogId};
const Shown erased{"Device Code erased!\n\n", "Warning:"};
const Shown defaultInfo{infoReport("1E 93 07", "FF D9 E1"), "Info:"};

// clang-format off
constexpr auto asIs = [](Rig&) {};
constexpr auto locked = [](Rig& r) { r.ispConfig().familyOne = sim::FamilyOneReads::Always; };
constexpr auto erase = [](Rig& r) { r.ispConfig().signatureErased = true; };
constexpr auto otherDevice = [](Rig& r) { r.controllerConfig().kind = sim::DeviceKind::OtherKind; };
constexpr auto noAdaptor = [](Rig& r) { r.serialConfig().loopBack = sim::LoopBack::Missing; };
constexpr auto stillBooting = [](Rig& r) { r.controllerConfig().bootNs = 2'000'000'000; };
constexpr auto noStick = [](Rig& r) { r.controllerConfig().setupWritesStick = false; };
constexpr auto otherBytes = [](Rig& r) {
    r.ispConfig().lockBits = 0x3C;
    r.ispConfig().fuseHigh = 0x01;
    r.ispConfig().fuseLow = 0x80;
};
// clang-format on

TEST(ServiceCommands, ReportsAndWaysOut) {
    enum Adapters { Both, SerialOnly, ParallelOnly };
    const struct {
        const char* name;
        void (*command)(IspContext&);
        Adapters adapters;
        void (*configure)(Rig&);
        std::optional<std::vector<Shown>> shown;  // none: some box, its text not fixed
        std::optional<Mode> mode;
        int byte15;  // starts at 0xFF
    } cases[] = {
        // clang-format off
        {"calibrate, other kind", calibrateOscillator, SerialOnly, otherDevice,
         {{otherKind}}, Mode::Firmware, 0xFF},
        {"calibrate, locked", calibrateOscillator, SerialOnly, locked,
         {{noConnection}}, Mode::InReset, 0xFF},
        {"calibrate, erased", calibrateOscillator, SerialOnly, erase,
         {{erased, {"soll: A5\n\nalt: FF\nneu: A5", "Kalibrierung erfolgreich!"}}}, Mode::Firmware,
         0xA5},
        {"calibrate, no adapter", calibrateOscillator, SerialOnly, noAdaptor,
         {{noAdapter}}, {}, 0xFF},
        {"calibrate, firmware silent", calibrateOscillator, SerialOnly, stillBooting,
         {{{"Keine Verbindung!", "Error", mainDialogId}}}, {}, 0xFF},
        {"calibrate, write does not stick", calibrateOscillator, SerialOnly, noStick,
         {{{"Schreibfehler!", "Error!"}}}, {}, 0xFF},
        // The start sequence drives the serial lines only.
        {"calibrate on parallel", calibrateOscillator, ParallelOnly, asIs, {}, Mode::InReset, 0xFF},
        {"info", showControllerInfo, Both, asIs, {{defaultInfo}}, Mode::InReset, 0xFF},
        {"info, other bytes", showControllerInfo, Both, otherBytes,
         {{{infoReport("1E 93 07", "3C 01 80"), "Info:"}}}, {}, 0xFF},
        {"info, locked", showControllerInfo, Both, locked, {{noConnection}}, {}, 0xFF},
        // One warning for each connection.
        {"info, erased", showControllerInfo, Both, erase,
         {{erased, erased, {infoReport("FF FF FF", "FF D9 E1"), "Info:"}}}, {}, 0xFF},
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
            SCOPED_TRACE(std::string(c.name) + " on " + testing::adapterName(kind));
            SimIsp isp{kind};
            isp.rig.setupMemory()[oscCalibration] = 0xFF;
            c.configure(isp.rig);
            c.command(isp.ctx);
            EXPECT_FALSE(isp.messages().empty());
            if (c.shown) {
                EXPECT_EQ(shown(isp), *c.shown);
            }
            if (c.mode) {
                EXPECT_EQ(isp.mode(), *c.mode);
            }
            EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], c.byte15);
            EXPECT_EQ(isp.status(), " ");
            EXPECT_FALSE(isp.statusEnabled());
        }
    }
}

TEST(Calibration, CopiesTheFactoryValueAndASecondRunFindsItThere) {
    SimIsp isp;
    isp.rig.setupMemory()[oscCalibration] = 0xFF;
    std::vector<std::pair<std::string, bool>> fields;
    isp.rig.host().onRepaint = [&](ui::Dialog& dialog) {
        fields.emplace_back(dialog.text(ids::StatusField), dialog.enabled(ids::StatusField));
    };
    calibrateOscillator(isp.ctx);
    EXPECT_EQ(isp.rig.setupMemory()[oscCalibration], 0xA5);
    EXPECT_EQ(isp.mode(), Mode::Firmware);
    ASSERT_GE(fields.size(), 3u);
    EXPECT_EQ(fields[0], std::make_pair(std::string("verbinden...."), true));
    EXPECT_EQ(fields[1], std::make_pair(std::string(" "), false));
    EXPECT_EQ(fields[2].first, "connecting...." + std::string(80, ' '));
    EXPECT_EQ(fields.back(), std::make_pair(std::string(" "), false));

    calibrateOscillator(isp.ctx);
    EXPECT_EQ(shown(isp),
              (std::vector<Shown>{{"soll: A5\n\nalt: FF\nneu: A5", "Kalibrierung erfolgreich!"},
                                  {"soll: A5\n\nalt: A5\nneu: A5", "Kalibrierung erfolgreich!"}}));
}

// The final read-back differs although the write was confirmed.
TEST(Calibration, FinalReadDifferingFromTargetIsReportedAsFailed) {
    testing::RecordedIsp isp;
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
