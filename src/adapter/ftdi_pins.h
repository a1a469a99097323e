// The adapter's lines as the pins of an FTDI chip in synchronous bit-bang mode, and one
// link exchange as the buffer of pin states that clocks it.
//
//   chip pin (FT232R; ADBUS0-7 alike)   RS-232 line      adapter line
//   D0 TXD   out ---------------------> TxD  (break) --> RESET
//   D2 RTS#  out ---------------------> RTS -----------> CLOCK
//   D4 DTR#  out ---------------------> DTR -----------> DATA-OUT --+
//   D3 CTS#  in  <--------------------- CTS <----------- DATA-IN    | loop-back
//   D5 DSR#  in  <--------------------- DSR <-----------------------+
//
// A bit is the TTL level at the chip. The converter's RS-232 driver inverts, so a line
// that is on (asserted, break) is a 0 bit, and an asserted input reads 0; the DTR-to-DSR
// loop keeps the polarity. An EEPROM may invert pins, so the inputs' polarity is learnt
// from the loop-back rather than assumed.
//
// Synchronous mode: the chip takes one sample of all pins just before it applies each
// byte written, and sends the samples back, one per byte, one step behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "adapter/line_access.h"

namespace adapter::ftdi {

inline constexpr std::uint8_t pinTxd = 0x01;  // RESET
inline constexpr std::uint8_t pinRxd = 0x02;
inline constexpr std::uint8_t pinRts = 0x04;  // CLOCK
inline constexpr std::uint8_t pinCts = 0x08;  // DATA-IN
inline constexpr std::uint8_t pinDtr = 0x10;  // DATA-OUT
inline constexpr std::uint8_t pinDsr = 0x20;  // the loop-back of DTR
inline constexpr std::uint8_t outputPins = pinTxd | pinRts | pinDtr;

// A native port's DATA-IN read: what one of the bitDelay unit's reads lasts there (five of
// them make a unit of about 10 us).
inline constexpr std::uint64_t nativeReadNs = 2'000;
// The chip applies one pin state every 10 us: one bit delay unit, slow enough for the
// RS-232 level shifter (about 120 kbit/s) and for the FT232R's uneven bit-bang timing.
inline constexpr std::uint64_t pinStateNs = 10'000;
// FT232R and FT2232 clock synchronous bit-bang at 16 pin states per baud once libftdi has
// scaled the rate for bit-bang mode; a chip that clocks faster would shorten every pulse,
// so the rate asked for is the one that gives pinStateNs at that factor.
inline constexpr int pinStatesPerBaud = 16;
inline constexpr int bitbangBaud = static_cast<int>(1'000'000'000 / pinStateNs / pinStatesPerBaud);
// A sample lasts as long as this many native reads, so one sample serves that many reads.
inline constexpr int readsPerSample = static_cast<int>(pinStateNs / nativeReadNs);

struct Polarity {
    bool outputsInverted = true;  // a line on is a 0 bit
    bool inputsInverted = true;   // an asserted input reads 0
};

struct Levels {
    bool clock = false;
    bool dataOut = false;
    bool reset = false;
};

[[nodiscard]] std::uint8_t pinState(Levels levels, Polarity polarity);
[[nodiscard]] bool dataInHigh(std::uint8_t sample, Polarity polarity);
[[nodiscard]] bool loopBackOn(std::uint8_t sample, Polarity polarity);

// Pin states that make one bit delay of readsPerDelay native reads: never less than one.
[[nodiscard]] int statesPerDelay(long long readsPerDelay);

// One exchange: the pin states in the order the per-line sequence changes the lines, each
// change held for a bit delay, then one extra state so that the last one is sampled too.
struct ExchangeBuffer {
    std::vector<std::uint8_t> states;
    // For each DATA-IN read of the sequence, the index of the returned sample it takes.
    std::vector<std::size_t> sampleAt;
    Levels after;  // the lines at the end
};

// The pin states of LineAccess::exchangeBits for count bits from levels onwards.
[[nodiscard]] ExchangeBuffer buildExchange(std::uint32_t bits, int count,
                                           const BitClocking& clocking, Levels levels,
                                           Polarity polarity);
// The pin states of a run of exchanges (LineAccess::exchangeSequence): each step's bit
// delays as held states, then its exchange, one extra state at the end only.
[[nodiscard]] ExchangeBuffer buildSequence(std::span<const ExchangeStep> steps,
                                           const BitClocking& clocking, Levels levels,
                                           Polarity polarity);
// DATA-IN at each read of the exchange from the returned samples (as many as states),
// the first in the highest place.
[[nodiscard]] std::uint32_t extractSamples(const ExchangeBuffer& exchange,
                                           const std::vector<std::uint8_t>& returned,
                                           Polarity polarity);
// The same for each step of a run: its count of reads, in order.
[[nodiscard]] std::vector<std::uint32_t> extractSequence(std::span<const ExchangeStep> steps,
                                                         const ExchangeBuffer& exchange,
                                                         const std::vector<std::uint8_t>& returned,
                                                         Polarity polarity);

// The inputs' polarity from the loop-back: DSR# sampled once with DTR on and once with it
// off. Where DSR followed DTR, the inputs read so that DSR is on with DTR; otherwise
// nothing is learnt (no adapter, or DSR stuck).
[[nodiscard]] std::optional<Polarity> polarityFromLoopBack(std::uint8_t withDtrOn,
                                                           std::uint8_t withDtrOff,
                                                           Polarity assumed);

}  // namespace adapter::ftdi
