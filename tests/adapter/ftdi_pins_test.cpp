// The FTDI exchange buffer against the per-line sequence it stands for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/ftdi_device.h"
#include "adapter/ftdi_pins.h"
#include "adapter/line_access.h"

namespace adapter::ftdi {
namespace {

// The default LineAccess::exchangeBits, written down: line changes and reads.
class StepLog final : public LineAccess {
  public:
    void setClock(bool high) override { change(std::string("CLOCK ") + (high ? "on" : "off")); }
    void setDataOut(bool high) override {
        change(std::string("DATA-OUT ") + (high ? "on" : "off"));
    }
    void setReset(bool high) override { change(std::string("RESET ") + (high ? "on" : "off")); }
    int readDataIn() override {
        ++m_reads;
        return 0;
    }
    // A run of reads is delays of readsPerDelay reads, plus one that samples.
    std::vector<std::string> steps() {
        change({});
        return m_steps;
    }
    long long readsPerDelay = 5;

  private:
    void change(std::string step) {
        if (m_reads % readsPerDelay == 1) {
            m_steps.push_back("sample");
        }
        m_reads = 0;
        if (!step.empty()) {
            m_steps.push_back(std::move(step));
        }
    }
    std::vector<std::string> m_steps;
    long long m_reads = 0;
};

Levels levelsOf(std::uint8_t state, Polarity polarity) {
    auto on = [&](std::uint8_t pin) { return ((state & pin) != 0) != polarity.outputsInverted; };
    return Levels{on(pinRts), on(pinDtr), on(pinTxd)};
}

// The same steps read off the buffer: each level change, and each sample where it is taken.
std::vector<std::string> stepsOf(const ExchangeBuffer& buffer, Levels start, Polarity polarity) {
    std::vector<std::string> steps;
    Levels was = start;
    std::size_t nextSample = 0;
    for (std::size_t i = 0; i < buffer.states.size(); ++i) {
        // Sample i is taken before state i is applied.
        while (nextSample < buffer.sampleAt.size() && buffer.sampleAt[nextSample] == i) {
            steps.push_back("sample");
            ++nextSample;
        }
        const Levels now = levelsOf(buffer.states[i], polarity);
        if (now.dataOut != was.dataOut) {
            steps.push_back(std::string("DATA-OUT ") + (now.dataOut ? "on" : "off"));
        }
        if (now.clock != was.clock) {
            steps.push_back(std::string("CLOCK ") + (now.clock ? "on" : "off"));
        }
        was = now;
    }
    return steps;
}

// Drops line "changes" to the level a line already has: the buffer cannot show them.
std::vector<std::string> withoutRepeats(const std::vector<std::string>& steps, Levels start) {
    std::vector<std::string> kept;
    std::string clock = start.clock ? "CLOCK on" : "CLOCK off";
    std::string dataOut = start.dataOut ? "DATA-OUT on" : "DATA-OUT off";
    for (const std::string& step : steps) {
        std::string& last = step.starts_with("CLOCK") ? clock : dataOut;
        if (step == "sample") {
            kept.push_back(step);
        } else if (step != last) {
            last = step;
            kept.push_back(step);
        }
    }
    return kept;
}

struct ExchangeCase {
    const char* name;
    std::uint32_t bits;
    int count;
    LineTraits traits;
};

const ExchangeCase exchangeCases[] = {
    {"byte, adapter detected", 0xA5, 8, {.idleDataOutHigh = true, .delayAfterSample = true}},
    {"byte, before the adapter test", 0x3C, 8, {.delayAfterSample = true}},
    {"word", 0xAC53, 16, {.idleDataOutHigh = true, .delayAfterSample = true}},
    {"instruction", 0xAC530000, 32, {.idleDataOutHigh = true, .delayAfterSample = true}},
    {"plain lines", 0x96, 8, {}},
};

TEST(FtdiExchange, SameLineOrderAndSamplesAsThePerLineSequence) {
    for (const ExchangeCase& c : exchangeCases) {
        for (long long readsPerDelay : {5LL, 12LL}) {
            SCOPED_TRACE(std::string(c.name) + ", reads per delay " +
                         std::to_string(readsPerDelay));
            const BitClocking clocking{readsPerDelay, c.traits};
            StepLog log;
            log.readsPerDelay = readsPerDelay;
            (void)log.exchangeBits(c.bits, c.count, clocking);

            const Levels start{};
            const ExchangeBuffer buffer = buildExchange(c.bits, c.count, clocking, start, {});
            EXPECT_EQ(stepsOf(buffer, start, {}), withoutRepeats(log.steps(), start));
            EXPECT_EQ(buffer.sampleAt.size(), static_cast<std::size_t>(c.count));
            EXPECT_FALSE(buffer.after.clock);
            // One extra state, so that even a read at the very end has its sample.
            EXPECT_LT(buffer.sampleAt.back(), buffer.states.size());
        }
    }
}

// A run is its exchanges one after the other, each step's bit delays as held states, and
// each exchange's answer from its own samples.
TEST(FtdiExchange, ARunIsItsExchangesInOrderWithTheirDelaysHeld) {
    const BitClocking clocking{5, {.idleDataOutHigh = true, .delayAfterSample = true}};
    const ExchangeStep steps[] = {{2, 0x59, 8}, {6, 0x05, 8}, {6, 0xAC53, 16}};
    const ExchangeBuffer run = buildSequence(steps, clocking, {}, {});

    StepLog log;
    std::size_t states = 0;
    for (const ExchangeStep& step : steps) {
        (void)log.exchangeBits(step.bits, step.count, clocking);
        const ExchangeBuffer alone = buildExchange(step.bits, step.count, clocking, {}, {});
        // The delay's states, then the exchange's own without its extra one.
        states += static_cast<std::size_t>(step.unitsBefore) + alone.states.size() - 1;
    }
    EXPECT_EQ(stepsOf(run, {}, {}), withoutRepeats(log.steps(), {}));
    EXPECT_EQ(run.states.size(), states + 1);
    ASSERT_EQ(run.sampleAt.size(), 32u);

    // DATA-IN high at the reads of the answers 0xA5, 0x3C and 0x0FF0.
    const std::vector<std::uint32_t> answers{0xA5, 0x3C, 0x0FF0};
    // Inverted inputs: high reads 0.
    std::vector<std::uint8_t> returned(run.states.size(), pinCts);
    std::size_t read = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        for (int bit = steps[i].count - 1; bit >= 0; --bit, ++read) {
            if (((answers[i] >> bit) & 1u) != 0) {
                returned[run.sampleAt[read]] = 0;
            }
        }
    }
    EXPECT_EQ(extractSequence(steps, run, returned, {}), answers);
}

TEST(FtdiExchange, EveryLevelLastsAtLeastOneNativeBitDelay) {
    for (long long readsPerDelay : {1LL, 5LL, 12LL, 50LL}) {
        const BitClocking clocking{readsPerDelay, {.idleDataOutHigh = true}};
        const ExchangeBuffer buffer = buildExchange(0x5A, 8, clocking, {}, {});
        const std::uint64_t unitNs = static_cast<std::uint64_t>(readsPerDelay) * nativeReadNs;
        std::size_t run = 1;
        for (std::size_t i = 1; i + 1 < buffer.states.size(); ++i) {
            if (buffer.states[i] != buffer.states[i - 1]) {
                EXPECT_GE(run * pinStateNs, unitNs) << "state " << i;
                run = 0;
            }
            ++run;
        }
    }
}

// A read's sample is the one returned for the next state written: the lines as they are
// at the read, with CLOCK on and (serial adapter) DATA-OUT back on.
TEST(FtdiExchange, TheSampleIsTakenOneStepBehindWithClockHigh) {
    const BitClocking clocking{5, {.idleDataOutHigh = true, .delayAfterSample = true}};
    for (const Polarity polarity : {Polarity{}, Polarity{false, false}, Polarity{true, false}}) {
        const ExchangeBuffer buffer = buildExchange(0x00, 8, clocking, {}, polarity);
        const std::uint32_t answer = 0xB4;
        const std::uint8_t ctsLow = polarity.inputsInverted ? pinCts : 0;
        std::vector<std::uint8_t> returned(buffer.states.size(), ctsLow), sameStep = returned;
        for (int bit = 0; bit < 8; ++bit) {
            const std::size_t at = buffer.sampleAt[static_cast<std::size_t>(bit)];
            const Levels atRead = levelsOf(buffer.states[at - 1], polarity);
            EXPECT_TRUE(atRead.clock);
            EXPECT_TRUE(atRead.dataOut);
            if (((answer >> (7 - bit)) & 1u) != 0) {
                returned[at] ^= pinCts;
                sameStep[at - 1] ^= pinCts;
            }
        }
        EXPECT_EQ(extractSamples(buffer, returned, polarity), answer);
        EXPECT_NE(extractSamples(buffer, sameStep, polarity), answer);
    }
}

TEST(FtdiPins, PolarityOfAUsbRs232Converter) {
    const Polarity converter;  // the RS-232 driver inverts
    EXPECT_EQ(pinState({}, converter), pinTxd | pinRts | pinDtr);
    EXPECT_EQ(pinState({.clock = true}, converter), pinTxd | pinDtr);
    EXPECT_EQ(pinState({.dataOut = true}, converter), pinTxd | pinRts);
    EXPECT_EQ(pinState({.reset = true}, converter), pinRts | pinDtr);  // break: TXD at 0
    EXPECT_EQ(pinState({true, true, true}, Polarity{false, false}), outputPins);
    EXPECT_TRUE(dataInHigh(0x00, converter));
    EXPECT_FALSE(dataInHigh(pinCts, converter));
    EXPECT_TRUE(loopBackOn(static_cast<std::uint8_t>(~pinDsr), converter));
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
    struct Case {
        const char* name;
        int index;  // -1: none
    };
    const Case cases[] = {{"ftdi:A50285BI", 0},  {"ftdi:1", 1},       {"ftdi:2", 2},
                          {"ftdi:0", 0},         {"ftdi:7", -1},      {"ftdi:", -1},
                          {"ftdi:a50285bi", -1}, {"/dev/ttyUSB0", -1}};
    for (const Case& c : cases) {
        const std::optional<DeviceInfo> found = resolvePortName(c.name, devices);
        EXPECT_EQ(found ? found->index : -1, c.index) << c.name;
    }
    EXPECT_EQ(portName(devices[0]), "ftdi:A50285BI");
    EXPECT_EQ(portName(devices[2]), "ftdi:2");
}

}  // namespace
}  // namespace adapter::ftdi
