#include "adapter/ftdi_pins.h"

namespace adapter::ftdi {

namespace {

std::uint8_t outputBit(bool on, std::uint8_t pin, Polarity polarity) {
    return on != polarity.outputsInverted ? pin : 0;
}

bool inputOn(std::uint8_t sample, std::uint8_t pin, Polarity polarity) {
    return ((sample & pin) != 0) != polarity.inputsInverted;
}

// Appends the exchange's steps: each line change, then its delay of identical states.
class ExchangeWriter {
  public:
    ExchangeWriter(ExchangeBuffer& buffer, Levels levels, Polarity polarity, int perDelay)
        : m_buffer(buffer), m_levels(levels), m_polarity(polarity), m_perDelay(perDelay) {}

    void setDataOut(bool high) {
        m_levels.dataOut = high;
        hold();
    }
    void setClock(bool high) {
        m_levels.clock = high;
        hold();
    }
    // The change's own state counts as the first of its delay: the pulse lasts a delay.
    void hold() { m_buffer.states.insert(m_buffer.states.end(), m_perDelay, state()); }
    // A read takes the sample of the state now at the pins: the one returned for the next
    // state written.
    void read() { m_buffer.sampleAt.push_back(m_buffer.states.size()); }
    void finish() {
        m_buffer.states.push_back(state());
        m_buffer.after = m_levels;
    }

  private:
    std::uint8_t state() const { return pinState(m_levels, m_polarity); }

    ExchangeBuffer& m_buffer;
    Levels m_levels;
    Polarity m_polarity;
    int m_perDelay;
};

}  // namespace

std::uint8_t pinState(Levels levels, Polarity polarity) {
    return outputBit(levels.reset, pinTxd, polarity) | outputBit(levels.clock, pinRts, polarity) |
           outputBit(levels.dataOut, pinDtr, polarity);
}

bool dataInHigh(std::uint8_t sample, Polarity polarity) {
    return inputOn(sample, pinCts, polarity);
}

bool loopBackOn(std::uint8_t sample, Polarity polarity) {
    return inputOn(sample, pinDsr, polarity);
}

int statesPerDelay(long long readsPerDelay) {
    const std::uint64_t reads = readsPerDelay > 0 ? static_cast<std::uint64_t>(readsPerDelay) : 1;
    const std::uint64_t states = (reads * nativeReadNs + pinStateNs - 1) / pinStateNs;
    return states > 0 ? static_cast<int>(states) : 1;
}

namespace {

// The steps of LineAccess::exchangeBits, in its order; its reads that only wait become
// held states, its one read per bit becomes a sample.
void appendBits(ExchangeWriter& out, std::uint32_t bits, int count, const BitClocking& clocking) {
    for (int i = count - 1; i >= 0; --i) {
        out.setDataOut(((bits >> i) & 1u) != 0);
        out.setClock(true);
        if (clocking.traits.idleDataOutHigh) {
            out.setDataOut(true);
        }
        out.read();
        if (clocking.traits.delayAfterSample) {
            out.hold();
        }
        out.setClock(false);
    }
}

bool sampleHigh(const ExchangeBuffer& exchange, const std::vector<std::uint8_t>& returned,
                std::size_t read, Polarity polarity) {
    const std::size_t index = exchange.sampleAt[read];
    return index < returned.size() && dataInHigh(returned[index], polarity);
}

}  // namespace

ExchangeBuffer buildExchange(std::uint32_t bits, int count, const BitClocking& clocking,
                             Levels levels, Polarity polarity) {
    ExchangeBuffer buffer;
    const int perDelay = statesPerDelay(clocking.readsPerDelay);
    buffer.states.reserve(static_cast<std::size_t>(count) * 5 * perDelay + 1);
    ExchangeWriter out(buffer, levels, polarity, perDelay);
    appendBits(out, bits, count, clocking);
    out.finish();
    return buffer;
}

ExchangeBuffer buildSequence(std::span<const ExchangeStep> steps, const BitClocking& clocking,
                             Levels levels, Polarity polarity) {
    ExchangeBuffer buffer;
    const int perDelay = statesPerDelay(clocking.readsPerDelay);
    ExchangeWriter out(buffer, levels, polarity, perDelay);
    for (const ExchangeStep& step : steps) {
        for (int unit = 0; unit < step.unitsBefore; ++unit) {
            out.hold();
        }
        appendBits(out, step.bits, step.count, clocking);
    }
    out.finish();
    return buffer;
}

std::vector<std::uint32_t> extractSequence(std::span<const ExchangeStep> steps,
                                           const ExchangeBuffer& exchange,
                                           const std::vector<std::uint8_t>& returned,
                                           Polarity polarity) {
    std::vector<std::uint32_t> answers;
    answers.reserve(steps.size());
    std::size_t read = 0;
    for (const ExchangeStep& step : steps) {
        std::uint32_t samples = 0;
        for (int bit = 0; bit < step.count && read < exchange.sampleAt.size(); ++bit, ++read) {
            samples = samples << 1 | (sampleHigh(exchange, returned, read, polarity) ? 1u : 0u);
        }
        answers.push_back(samples);
    }
    return answers;
}

std::uint32_t extractSamples(const ExchangeBuffer& exchange,
                             const std::vector<std::uint8_t>& returned, Polarity polarity) {
    std::uint32_t samples = 0;
    for (std::size_t read = 0; read < exchange.sampleAt.size(); ++read) {
        samples = samples << 1 | (sampleHigh(exchange, returned, read, polarity) ? 1u : 0u);
    }
    return samples;
}

std::optional<Polarity> polarityFromLoopBack(std::uint8_t withDtrOn, std::uint8_t withDtrOff,
                                             Polarity assumed) {
    const bool dsrOn = (withDtrOn & pinDsr) != 0;
    const bool dsrOff = (withDtrOff & pinDsr) != 0;
    if (dsrOn == dsrOff) {
        return std::nullopt;
    }
    // DSR is on with DTR on: the bit seen then is the asserted one.
    return Polarity{assumed.outputsInverted, !dsrOn};
}

}  // namespace adapter::ftdi
