// The link commands against the virtual controller, which was written from its own side:
// agreement means both follow the same protocol.
#include <gtest/gtest.h>

#include <functional>

#include "adapter/adapter.h"
#include "link/link.h"
#include "link/protocol_trace.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"
#include "sim/test_rig.h"

namespace clink {
namespace {

using linktest::boxes;

// The virtual controller on the chosen adapter with the main dialog attached; on the serial
// adapter detected and, with start, released by the standard start sequence.
struct Bench {
    explicit Bench(bool parallel, const sim::ControllerConfig& config = {}, bool start = true)
        : rig(config), mainWindow(resources::mainDialogTemplate()) {
        link.mainWindow = &mainWindow;
        if (parallel) {  // the start sequences drive the serial lines only
            rig.selectParallel();
            adapter::setReset(link, false);
            adapter::delayMs(link, 1);
            adapter::setReset(link, true);
            adapter::delayMs(link, 500);
        } else {
            EXPECT_EQ(adapter::detectAdapter(link), 0) << rig.messageText();
            if (start) {
                adapter::startController(link, adapter::StartForm::Standard);
            }
        }
    }
    std::string shown() { return boxes(rig.host()); }
    // The controller shifts DATA-IN only while CLOCK is low, never at one of its edges.
    void expectDataInMovedAfterFallingEdges() {
        bool clockHigh = false;
        std::uint64_t lastClockNs = 0;
        for (const sim::LineEvent& event : rig.trace().events()) {
            if (event.line == sim::Line::Clock) {
                clockHigh = event.high;
                lastClockNs = event.timeNs;
            } else if (event.line == sim::Line::DataIn) {
                EXPECT_TRUE(!clockHigh && event.timeNs != lastClockNs) << "at " << event.timeNs;
            }
        }
    }
    sim::TestRig rig;
    adapter::LinkContext& link = rig.link();
    ui::Dialog mainWindow;
};

TEST(OnBothAdapters, CommandsAndTheirFailures) {
    sim::ControllerConfig other, nothing, noStick, slowCommit;
    other.kind = sim::DeviceKind::OtherKind;
    nothing.kind = sim::DeviceKind::NothingAttached;
    nothing.nothingAttachedLevel = true;
    noStick.setupWritesStick = false;
    slowCommit.pageCommitNs = 41'000'000;
    auto probe = [](Bench& b) { return probeBootloader(b.link); };
    struct Case {
        const char* name;
        sim::ControllerConfig config;
        std::function<int(Bench&)> command;
        int result;
        const char* shown = "";
    };
    const Case cases[] = {
        {"probe exchange", {}, [](Bench& b) { return probeExchange(b.link); }, answerReady},
        {"checked write", {}, [](Bench& b) { return writeSetupByteChecked(b.link, 15, 7); }, 0},
        {"other device", other, probe, 1, "0 ERROR!: falsches Gerät!"},
        {"nothing attached", nothing, probe, 1, "0 ERROR!: Keine Verbindung!"},
        {"a write that does not read back", noStick,
         [](Bench& b) { return writeSetupByteChecked(b.link, 19, 0x21); }, 1,
         "0 Error!: Schreibfehler!"},
        {"a commit slower than the 40 ms pause", slowCommit,
         [](Bench& b) {
             selectFlashPage(b.link, 2);
             EXPECT_EQ(loadPageByte(b.link, 0, 0x5A), 0);
             return commitFlashPage(b.link, 2);
         },
         1},
    };
    for (bool parallel : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(parallel ? "parallel: " : "serial: ") + c.name);
            Bench bench(parallel, c.config);
            EXPECT_EQ(c.command(bench), c.result);
            EXPECT_EQ(bench.shown(), c.shown);
            bench.expectDataInMovedAfterFallingEdges();
        }
    }
}

}  // namespace
}  // namespace clink
