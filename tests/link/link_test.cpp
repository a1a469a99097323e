// The link on recorded lines: the bytes, waits and answers of each command.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <tuple>
#include <vector>

#include "adapter/adapter.h"
#include "adapter/test_rig.h"
#include "link/link.h"
#include "resources/main_dialog.h"
#include "resources/main_dialog_ids.h"

namespace clink {
namespace {

using namespace adapter::testing;

// A recorded log read back as the link protocol: each byte sent (DATA-OUT at the rising
// CLOCK edges, eight to a byte), each wait and other line change, and the bit delays beyond
// the 15 reads before and 5 after that every byte makes itself. Assumes bitDelayCount 1.
std::string protocol(const Recorder& recorder) {
    std::vector<std::string> tokens;
    bool dataOut = false, clock = false, afterByte = false;
    int bits = 0, value = 0, reads = 0;
    auto flushReads = [&](bool beforeByte) {
        const int extra = reads - (afterByte ? 5 : 0) - (beforeByte ? 15 : 0);
        if (extra != 0) {
            tokens.push_back(extra % 5 == 0 ? "delay " + std::to_string(extra / 5)
                                            : "reads " + std::to_string(extra));
        }
        reads = 0;
        afterByte = false;
    };
    auto clockTo = [&](bool high) {
        if (high && !clock) {
            if (bits == 0) {
                flushReads(true);
            }
            value = value << 1 | (dataOut ? 1 : 0);
            if (++bits == 8) {
                char text[8];
                std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
                tokens.push_back(text);
            }
        } else if (!high && clock && bits == 8) {
            bits = value = 0;
            afterByte = true;
        }
        clock = high;
    };
    for (const Event& event : recorder.events) {
        const std::string& what = event.what;
        if (what == "read DATA-IN" || what == "read word") {
            reads += bits == 0 ? 1 : 0;
        } else if (what == "DATA-OUT high" || what == "DATA-OUT low") {
            dataOut = what == "DATA-OUT high";
        } else if (what == "CLOCK high" || what == "CLOCK low") {
            clockTo(what == "CLOCK high");
        } else if (what.rfind("data 0x", 0) == 0) {
            const int image = std::stoi(what.substr(7), nullptr, 16);
            dataOut = (image & 0x01) != 0;
            clockTo((image & 0x02) != 0);
        } else if (!event.read) {
            flushReads(false);
            tokens.push_back(what);
        }
    }
    flushReads(false);
    return joined(tokens);
}

// The serial port open after a passing adapter test, the main dialog attached, the log empty.
struct LinkRig : RecordingRig {
    explicit LinkRig(bool detected = false, bool parallel = false)
        : mainWindow(resources::mainDialogTemplate()) {
        EXPECT_EQ(adapter::detectAdapter(ctx), 0);
        state.adapterDetected = detected;
        if (parallel) {
            selectParallel();
        }
        ctx.mainWindow = &mainWindow;
        recorder.clear();
    }
    ui::Dialog mainWindow;
};

TEST(ExchangeBit, StepsOnEachAdapter) {
    struct Case {
        const char* name;
        bool detected;
        bool parallel;
        std::uint32_t bit;
        const char* steps;
    };
    const Case cases[] = {
        {"serial", false, false, 1,
         "DATA-OUT high, read DATA-IN x5, CLOCK high, read DATA-IN x11, CLOCK low, "
         "read DATA-IN x5"},
        // A detected serial adapter returns DATA-OUT high before sampling.
        {"serial, adapter detected", true, false, 0,
         "DATA-OUT low, read DATA-IN x5, CLOCK high, read DATA-IN x5, DATA-OUT high, "
         "read DATA-IN x11, CLOCK low, read DATA-IN x5"},
        // Detection means nothing here, and one delay less after sampling.
        {"parallel", true, true, 1,
         "data 0x09, read word x5, data 0x0B, read word x6, data 0x09, read word x5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(c.detected, c.parallel);
        rig.state.outputImage = 0x08;
        rig.recorder.idleDataIn = 1;
        EXPECT_EQ(adapter::exchangeBits(rig.ctx, c.bit, 1), 1u);
        EXPECT_EQ(joined(rig.trace()), c.steps);
    }
}

// A port that sends a whole exchange in one transfer, as a USB bit-bang chip does.
class TransferLines final : public adapter::LineAccess {
  public:
    void setClock(bool) override { ++lineCalls; }
    void setDataOut(bool) override { ++lineCalls; }
    void setReset(bool) override { ++lineCalls; }
    int readDataIn() override { return ++lineCalls, 0; }
    adapter::LineTraits traits() const override { return {.exchangesAtOnce = true}; }
    std::uint32_t exchangeBits(std::uint32_t bits, int count,
                               const adapter::BitClocking& clocking) override {
        transfers.emplace_back(bits, count);
        lastClocking = clocking;
        return answer;
    }
    // A run comes back as a controller answers: each byte echoes the one before, except
    // at wrongAt.
    bool exchangeSequence(std::span<const adapter::ExchangeStep> steps, const adapter::BitClocking&,
                          std::vector<std::uint32_t>& samples) override {
        runs.emplace_back(steps.begin(), steps.end());
        samples.clear();
        std::uint32_t before = 0;
        for (const adapter::ExchangeStep& step : steps) {
            samples.push_back(samples.size() == wrongAt ? before ^ 1u : before);
            before = step.bits;
        }
        return true;
    }
    std::vector<std::vector<adapter::ExchangeStep>> runs;
    std::size_t wrongAt = SIZE_MAX;
    std::vector<std::pair<std::uint32_t, int>> transfers;
    adapter::BitClocking lastClocking;
    std::uint32_t answer = 0x5A;
    int lineCalls = 0;
};

// The serial port open on TransferLines.
struct TransferRig : RecordingRig {
    TransferRig() {
        state.serialPort = std::move(owned);
        state.portOpen = true;
    }
    std::unique_ptr<TransferLines> owned = std::make_unique<TransferLines>();
    TransferLines& lines = *owned;
};

TEST(ExchangeByte, APortThatSendsAtOnceGetsEachByteAndWordAsOneTransfer) {
    TransferRig rig;
    rig.state.adapterDetected = true;
    rig.state.bitDelayCount = 3;
    EXPECT_EQ(exchangeByte(rig.ctx, 0x1A5), 0x5A);
    rig.lines.answer = 0xBEEF;
    rig.state.sendRegister = 0x12345678;
    exchangeWord(rig.ctx);
    EXPECT_EQ(rig.state.receiveRegister, 0x5ABEEF);

    EXPECT_EQ(rig.lines.transfers,
              (std::vector<std::pair<std::uint32_t, int>>{{0xA5, 8}, {0x5678, 16}}));
    // The serial adapter's clocking goes with it: its bit delay and its idle DATA-OUT.
    const adapter::BitClocking& clocking = rig.lines.lastClocking;
    EXPECT_EQ(clocking.readsPerDelay, 15);
    EXPECT_TRUE(clocking.traits.idleDataOutHigh && clocking.traits.delayAfterSample);
    // Only the byte's leading bitDelay(2) went line by line.
    EXPECT_EQ(rig.lines.lineCalls, 2 * 15);
}

// A page's bytes on lines that take a run at once: each byte echoed counts as loaded, and a
// wrong echo fails at its byte.
TEST(LoadPageBytes, OneRunWhereTheLinesTakeIt) {
    const std::vector<PageByte> bytes{{0, 0x10}, {1, 0x11}, {2, 0x12}};
    // The step of the run answered wrong (four steps a byte, the third and fourth echo), and
    // the bytes loaded.
    const std::pair<std::size_t, int> cases[] = {{SIZE_MAX, 3}, {6, 1}, {11, 2}};
    for (const auto& [wrongStep, expected] : cases) {
        SCOPED_TRACE(expected);
        TransferRig rig;
        rig.lines.wrongAt = wrongStep;
        int loaded = 0;
        EXPECT_EQ(loadPageBytes(rig.ctx, bytes, [&] { ++loaded; }), expected == 3 ? 0 : 1);
        EXPECT_EQ(loaded, expected);
        ASSERT_EQ(rig.lines.runs.size(), 1u);
        const auto& run = rig.lines.runs[0];
        ASSERT_EQ(run.size(), 12u);
        // Each byte's own two bit delays, after the bootloader's four between bytes.
        EXPECT_EQ(std::tuple(run[0].unitsBefore, run[1].unitsBefore, run[4].unitsBefore,
                             run[4].bits, run[6].bits),
                  std::tuple(2, 6, 6, 0x59u, 0x11u));
    }
}

TEST(Commands, BytesWaitsAnswersAndBoxes) {
    struct Case {
        const char* name;
        const char* answers;  // then DATA-IN idles high
        std::function<int(LinkContext&)> command;
        int result;
        std::string steps;  // empty: not compared
        const char* shown = "";
        DsrMode dsr = DsrMode::FollowsDtr;
        bool parallel = false;
    };
    const std::string detect = "0xFE, 0xFE, wait 150 ms, wait 150 ms";
    const std::string restart =
        detect + ", RESET low, wait 100 ms, RESET high, wait 500 ms, 0xFE, 0xFE";
    const std::string load = "0x59, delay 4, 0x05, delay 4, 0x99";
    const std::string commit =
        "delay 4, 0x58, delay 4, 0x55, delay 4, 0x33, wait 40 ms, 0x33, delay 4";
    const std::function<int(LinkContext&)> probe = probeBootloader;
    auto load5 = [](LinkContext& ctx) { return loadPageByte(ctx, 5, 0x99); };
    auto commit21 = [](LinkContext& ctx) { return commitFlashPage(ctx, 0x21); };
    auto twoWords = [](LinkContext& ctx) {
        ctx.state.sendRegister = 0x12345678;
        exchangeWord(ctx);
        exchangeWord(ctx);
        return static_cast<int>(ctx.state.receiveRegister);
    };
    const Case cases[] = {
        {"probe: ready, two bytes and nothing else", "00 FE", probe, 0, "0xFE, 0xFE"},
        {"probe: not running, started", "00 00 00 FE", probe, 0, restart},
        {"probe: other device", "00 FD 00 FD", probe, 1, restart, "0 ERROR!: falsches Gerät!"},
        {"probe: nothing attached", "", probe, 1, restart, "0 ERROR!: Keine Verbindung!"},
        {"probe: DSR stuck, no restart", "", probe, 1, detect,
         "0 Error: No Adaptor found at COM2\n", DsrMode::StuckOn},
        {"read", "00 00 66", [](LinkContext& ctx) { return readSetupByte(ctx, 12); }, 0x66,
         "0x55, wait 5 ms, wait 5 ms, 0x0C, wait 5 ms, 0x00"},
        {"write cuts 0x1FF to eight bits", "00 00 00 FF",
         [](LinkContext& ctx) { return writeSetupByte(ctx, 3, 0x1FF); }, 0,
         "wait 5 ms, 0x56, wait 5 ms, 0x03, wait 5 ms, 0xFF, wait 5 ms, wait 20 ms, 0x00"},
        {"select page", "", [](LinkContext& ctx) { return selectFlashPage(ctx, 0x21), 0; }, 0,
         "0x57, delay 4, 0x21, delay 4"},
        {"load page byte", "00 00 05 99", load5, 0, load + ", delay 4, 0x00, delay 4"},
        {"load: a wrong offset echo stops short", "00 00 06", load5, 1, load},
        {"load: a wrong data echo", "00 00 05 98", load5, 1, ""},
        // Both answers kept, and no leading delay before a word's bytes.
        {"two words", "AB CD 01 23", twoWords, static_cast<int>(0xABCD0123u),
         "delay -2, 0x56, delay -2, 0x78, delay -2, 0x56, delay -2, 0x78"},
        {"commit", "00 00 00 21", commit21, 0, commit},
        {"commit: wrong confirmation", "00 00 00 20", commit21, 1, ""},
        {"commit on the parallel adapter", "00 00 00 21", commit21, 0, commit, "",
         DsrMode::FollowsDtr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false, c.parallel);
        rig.recorder.queue(c.answers);
        rig.recorder.idleDataIn = 1;
        rig.recorder.dsr = c.dsr;
        EXPECT_EQ(c.command(rig.ctx), c.result);
        if (!c.steps.empty()) {
            EXPECT_EQ(protocol(rig.recorder), c.steps);
        }
        EXPECT_EQ(boxes(rig.host), c.shown);
        // A failed adapter test clears the status field; the others leave it to the command.
        EXPECT_EQ(rig.mainWindow.enabled(ids::StatusField), c.dsr != DsrMode::StuckOn);
    }
}

TEST(ErrorTail, ShowsTheBoxOwnedByTheMainDialogBetweenTwoRepaints) {
    LinkRig rig;
    rig.mainWindow.setText(ids::StatusField, "verbinden....");
    rig.mainWindow.setEnabled(ids::StatusField, false);
    bool enabledAtFirstRepaint = false;
    rig.host.onRepaint = [&](ui::Dialog& dialog) {
        if (rig.host.repaints == 1) {
            enabledAtFirstRepaint = dialog.enabled(ids::StatusField);
        }
    };
    rig.messageText = "No Adaptor found at COM3\n";
    errorTail(rig.ctx);
    EXPECT_TRUE(enabledAtFirstRepaint);
    EXPECT_EQ(boxes(rig.host),
              std::to_string(ids::MainDialog) + " Error: No Adaptor found at COM3\n");
    EXPECT_EQ(rig.host.repaints, 2);  // the blank, disabled field after: the refusal tables

    rig.host.messages.clear();
    rig.ctx.mainWindow = nullptr;  // without one only the box is shown
    errorTail(rig.ctx);
    EXPECT_EQ(boxes(rig.host), "0 Error: No Adaptor found at COM3\n");
    EXPECT_EQ(rig.host.repaints, 2);
}

}  // namespace
}  // namespace clink
