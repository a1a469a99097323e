// The FTDI exchange buffer, pin map and port names, and the bit-bang lines on a chip that
// stalls. The buffers' line order is the per-line sequence's (LineAccess::exchangeBits);
// the commands on the virtual chip (tests/sim) hold it against the controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "adapter/clock.h"
#include "adapter/ftdi_device.h"
#include "adapter/ftdi_lines.h"
#include "adapter/ftdi_pins.h"

namespace adapter::ftdi {
namespace {

// A buffer as its states' levels, a word each ("Cd": CLOCK on, DATA-OUT off), and "|"
// where a read takes its sample: the one returned for the state that follows.
std::string shown(const ExchangeBuffer& buffer, Polarity polarity = {}) {
    std::string text;
    std::size_t read = 0;
    for (std::size_t i = 0; i < buffer.states.size(); ++i) {
        for (; read < buffer.sampleAt.size() && buffer.sampleAt[read] == i; ++read) {
            text += "|";
        }
        auto on = [&](std::uint8_t pin) {
            return ((buffer.states[i] & pin) != 0) != polarity.outputsInverted;
        };
        text += std::string(on(pinRts) ? "C" : "c") + (on(pinDtr) ? "D" : "d") + " ";
    }
    return text;
}

// DATA-OUT settles a bit delay before CLOCK rises; the sample is taken with CLOCK high
// (and, on the serial adapter, DATA-OUT back high) one state behind the read, and each
// change holds its level for a bit delay: five native reads are one 10 us state, six
// take two.
TEST(FtdiExchange, EachChangeHeldForABitDelayAndTheSampleTakenWithClockHigh) {
    struct Case {
        long long readsPerDelay;
        LineTraits traits;
        const char* states;
    };
    const Case cases[] = {
        {5, {}, "cD CD |cD cd Cd |cd cd "},
        {5, {.idleDataOutHigh = true}, "cD CD CD |cD cd Cd CD |cD cD "},
        {5, {.delayAfterSample = true}, "cD CD |CD cD cd Cd |Cd cd cd "},
        {6,
         {.idleDataOutHigh = true, .delayAfterSample = true},
         "cD cD CD CD CD CD |CD CD cD cD cd cd Cd Cd CD CD |CD CD cD cD cD "},
    };
    for (const Case& c : cases) {
        const ExchangeBuffer buffer = buildExchange(0b10, 2, {c.readsPerDelay, c.traits}, {}, {});
        EXPECT_EQ(shown(buffer), c.states);
        EXPECT_FALSE(buffer.after.clock);
    }
}

// A run is its exchanges in order, each after its delay of held states, and each answer
// comes from its own samples in the input polarity.
TEST(FtdiExchange, ARunHoldsItsDelaysAndEachAnswerComesFromItsOwnSamples) {
    const ExchangeStep steps[] = {{2, 0b10, 2}, {1, 0b01, 2}};
    const ExchangeBuffer run = buildSequence(steps, {5, {}}, {}, {});
    EXPECT_EQ(shown(run), "cd cd cD CD |cD cd Cd |cd cd cd Cd |cd cD CD |cD cD ");
    for (const Polarity polarity : {Polarity{}, Polarity{true, false}}) {
        // DATA-IN high at the reads of the answers 0b10 and 0b11 only.
        std::vector<std::uint8_t> returned(run.states.size(), polarity.inputsInverted ? pinCts : 0);
        for (const std::size_t read : {0, 2, 3}) {
            returned[run.sampleAt[read]] ^= pinCts;
        }
        EXPECT_EQ(extractSequence(steps, run, returned, polarity),
                  (std::vector<std::uint32_t>{0b10, 0b11}));
        const ExchangeBuffer alone = buildExchange(0b10, 2, {5, {}}, {}, polarity);
        returned.assign(alone.states.size(), polarity.inputsInverted ? pinCts : 0);
        returned[alone.sampleAt[1]] ^= pinCts;
        EXPECT_EQ(extractSamples(alone, returned, polarity), 0b01u);
    }
}

TEST(FtdiPins, InputPolarityLearntFromTheLoopBack) {
    struct Case {
        std::uint8_t withDtrOn, withDtrOff;
        std::optional<bool> inputsInverted;
    };
    const Case cases[] = {
        {0x00, pinDsr, true},            // DSR# follows DTR#: the converter's own polarity
        {pinDsr, 0x00, false},           // an EEPROM inverts DSR#
        {pinDsr, pinDsr, std::nullopt},  // no adapter: DSR never follows
        {0x00, 0x00, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Polarity> learnt = polarityFromLoopBack(c.withDtrOn, c.withDtrOff, {});
        ASSERT_EQ(learnt.has_value(), c.inputsInverted.has_value());
        if (learnt) {
            EXPECT_EQ(learnt->inputsInverted, *c.inputsInverted);
            EXPECT_TRUE(learnt->outputsInverted);
            EXPECT_TRUE(loopBackOn(c.withDtrOn, *learnt));
            EXPECT_FALSE(loopBackOn(c.withDtrOff, *learnt));
        }
    }
}

TEST(FtdiPortName, SerialFirstThenIndex) {
    const std::vector<DeviceInfo> devices{{0, 0x6001, "FTDI", "FT232R USB UART", "A50285BI"},
                                          {1, 0x6010, "FTDI", "Dual RS232", "1"},
                                          {2, 0x6001, "FTDI", "FT232R USB UART", ""}};
    const std::pair<const char*, int> cases[] = {
        // the index found, -1 none
        {"ftdi:A50285BI", 0}, {"ftdi:1", 1}, {"ftdi:2", 2},         {"ftdi:0", 0},
        {"ftdi:7", -1},       {"ftdi:", -1}, {"ftdi:a50285bi", -1}, {"/dev/ttyUSB0", -1}};
    for (const auto& [name, index] : cases) {
        const std::optional<DeviceInfo> found = resolvePortName(name, devices);
        EXPECT_EQ(found ? found->index : -1, index) << name;
    }
    EXPECT_EQ(portName(devices[0]), "ftdi:A50285BI");
    EXPECT_EQ(portName(devices[2]), "ftdi:2");
}
// A chip that gives back each state written as its sample, 1 ms a call, until it stops
// taking states or stops answering them.
struct ChipState {
    VirtualClock clock{10'000'000'000};  // ten seconds in: a deadline cannot wrap below zero
    bool takes = true, answers = true;
    std::uint8_t sample = 0;  // every pin low: with the converter's inverters, all on
    int pending = 0;
    std::uint64_t taken = 0;
};
class StallingChip final : public FtdiDevice {
  public:
    explicit StallingChip(ChipState& chip) : s(chip) {}
    int open(const DeviceInfo&) override { return 0; }
    int setBitmode(std::uint8_t, BitMode) override { return 0; }
    int setBaudrate(int) override { return 0; }
    int setLatencyTimer(std::uint8_t) override { return 0; }
    int flushBuffers() override { return s.pending = 0; }
    int writeData(const std::uint8_t*, int size) override {
        s.clock.advanceNs(1'000'000);
        const int n = s.takes ? size : 0;
        s.pending += n;
        s.taken += static_cast<std::uint64_t>(n);
        return n;
    }
    int readData(std::uint8_t* data, int size) override {
        s.clock.advanceNs(1'000'000);
        const int n = s.answers ? std::min(size, s.pending) : 0;
        std::fill_n(data, n, s.sample);
        s.pending -= n;
        return n;
    }
    void close() override {}
    std::string errorString() const override { return {}; }

  private:
    ChipState& s;
};

std::unique_ptr<FtdiBitbangLines> openOn(ChipState& chip) {
    ui::SystemError error;
    auto lines = FtdiBitbangLines::open(std::make_unique<StallingChip>(chip), {}, "ftdi:0",
                                        chip.clock, error);
    EXPECT_NE(lines, nullptr) << error.describe();
    return lines;
}

// A chip that stops taking states, or stops answering them, fails the lines once the
// answer timeout has passed, and is given nothing more.
TEST(FtdiLines, AStalledChipFailsAfterTheAnswerTimeoutAndIsWrittenNoMore) {
    for (const bool takes : {false, true}) {
        SCOPED_TRACE(takes ? "stops answering" : "stops taking states");
        ChipState chip;
        auto lines = openOn(chip);
        ASSERT_NE(lines, nullptr);
        lines->setClock(true);  // drains the opening's stream: the next change only writes
        if (takes) {
            (void)lines->readDataIn();  // a stream written ahead, for the change to drain
        }
        chip.takes = takes;
        chip.answers = false;
        const std::uint64_t start = chip.clock.nowNs(), taken = chip.taken;
        lines->setDataOut(true);
        lines->setReset(true);
        ASSERT_NE(lines->fault(), nullptr);
        EXPECT_EQ(lines->fault()->call, takes ? "ftdi_read_data" : "ftdi_write_data");
        const std::uint64_t waited = chip.clock.nowNs() - start;
        EXPECT_GE(waited, FtdiBitbangLines::answerTimeoutNs);
        EXPECT_LT(waited, FtdiBitbangLines::answerTimeoutNs + 10'000'000);
        EXPECT_EQ(chip.taken, taken);
    }
}

}  // namespace
}  // namespace adapter::ftdi
