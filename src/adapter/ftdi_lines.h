// The adapter on an FTDI converter in synchronous bit-bang mode (pins in ftdi_pins.h): a
// whole link exchange goes out as one buffer of pin states and comes back sampled, so a
// byte costs one USB round trip instead of dozens of modem-line calls.
//
// Single line changes are one-state transfers. DATA-IN reads come from a sampler: the
// samples after an exchange, or a stream the chip keeps sampling at its clock, and
// successive reads take them in order, readsPerSample reads to a sample, so that delays
// made of reads last what they last on a native port and the rev counter sees every
// pulse. A line change drops what is left, and so does a host wait longer than an
// exchange's samples.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adapter/clock.h"
#include "adapter/ftdi_device.h"
#include "adapter/ftdi_pins.h"
#include "adapter/line_access.h"
#include "adapter/port_discovery.h"
#include "adapter/serial_port.h"
#include "ui/system_error.h"

namespace adapter {

class FtdiBitbangLines final : public LineAccess {
  public:
    // The chip's FIFOs are small (FT232R: 128 bytes in): never more than this unanswered.
    static constexpr std::size_t maxOutstanding = 128;
    // Reads take their samples from a stream written in chunks of one USB packet each.
    static constexpr std::size_t streamChunkStates = 62;
    // Samples after an exchange, for the bit delays that follow it before the next one.
    static constexpr std::size_t exchangeTailStates = 8;
    // A chip that sends nothing back for this long is gone.
    static constexpr std::uint64_t answerTimeoutNs = 1'000'000'000;
    // A stream's samples come back in full USB packets: within one packet's time of being
    // taken (and one state more).
    static constexpr std::uint64_t streamLagNs = (streamChunkStates + 1) * ftdi::pinStateNs;

    // Opens device and puts it into synchronous bit-bang mode with all lines off. On
    // failure: null, and error names the call and libftdi's reason, with name as subject.
    [[nodiscard]] static std::unique_ptr<FtdiBitbangLines> open(
        std::unique_ptr<ftdi::FtdiDevice> device, const ftdi::DeviceInfo& info, std::string name,
        Clock& clock, ui::SystemError& error);
    // All lines off, back to the UART, closed: the kernel's tty comes back.
    ~FtdiBitbangLines() override;

    void setClock(bool high) override { setLevel(&ftdi::Levels::clock, high); }
    void setDataOut(bool high) override { setLevel(&ftdi::Levels::dataOut, high); }
    void setReset(bool high) override { setLevel(&ftdi::Levels::reset, high); }
    int readDataIn() override;
    bool readLoopBack() override;
    std::uint32_t readModemStatus() override;
    const ui::SystemError* fault() const override { return m_failed ? &m_fault : nullptr; }
    LineTraits traits() const override { return LineTraits{.exchangesAtOnce = true}; }
    std::uint32_t exchangeBits(std::uint32_t bits, int count, const BitClocking& clocking) override;
    // The whole run as one stream of pin states, written ahead as far as maxOutstanding
    // allows while the samples come back.
    bool exchangeSequence(std::span<const ExchangeStep> steps, const BitClocking& clocking,
                          std::vector<std::uint32_t>& samples) override;

    ftdi::Polarity polarity() const { return m_polarity; }

  private:
    FtdiBitbangLines(std::unique_ptr<ftdi::FtdiDevice> device, std::string name, Clock& clock);

    bool setUp(ui::SystemError& error);
    void change(ftdi::Levels levels);
    void setLevel(bool ftdi::Levels::*line, bool high);
    // Sends an exchange's states and keeps the samples after them for the bit delays that
    // follow; false when the chip failed.
    bool sendExchange(ftdi::ExchangeBuffer& exchange, std::vector<std::uint8_t>& returned,
                      const std::function<void()>& between);
    // Writes states and reads as many samples back, never more than maxOutstanding apart.
    // between: called after each answer of a long run (BitClocking::keepAlive).
    bool transfer(const std::vector<std::uint8_t>& states, std::vector<std::uint8_t>& samples,
                  const std::function<void()>& between = {});
    bool writeAll(const std::uint8_t* data, std::size_t size);
    bool readSome(std::uint8_t* data, std::size_t size, std::size_t& got);
    // Reads back what the stream left outstanding, so that the next transfer's answers
    // are its own.
    bool drain();
    // The next sample for a read, or none when the chip failed.
    std::optional<std::uint8_t> nextSample();
    bool fetchSamples();
    // Writes chunks of the stream while they fit under maxOutstanding.
    bool writeStream(const std::vector<std::uint8_t>& chunk);
    void keepSamples(std::vector<std::uint8_t> samples);
    void dropSamples();
    void learnPolarity(std::uint8_t sample);
    bool fail(const char* call, int code);

    std::unique_ptr<ftdi::FtdiDevice> m_device;
    std::string m_name;
    Clock& m_clock;
    ftdi::Levels m_levels;
    ftdi::Polarity m_polarity;
    std::optional<std::uint8_t> m_dsrWithDtrOn;
    std::optional<std::uint8_t> m_dsrWithDtrOff;

    std::vector<std::uint8_t> m_samples;
    std::size_t m_nextSample = 0;
    int m_readsOfSample = 0;
    std::uint64_t m_samplesValidUntilNs = 0;
    bool m_pacing = false;                    // a stream: its samples are read at the chip's pace
    std::deque<std::uint64_t> m_streamTimes;  // when the chip applies each state ahead
    std::uint64_t m_streamEndNs = 0;
    std::vector<std::uint64_t> m_sampleDueNs;  // when each sample of a stream run is read
    std::size_t m_streamAhead = 0;             // states written for the stream, not yet read back

    bool m_failed = false;
    ui::SystemError m_fault;
};

// The driver name of a fast variant in a port list: a profile of its own.
inline constexpr std::string_view fastPathDriver = "ftdi-bitbang";
// ports with, right after the first tty of each FTDI converter that has a serial number,
// its fast variant "ftdi:SERIAL" (same USB fields, fastPathDriver). Opens nothing: the
// fields come from the sysfs discovery.
[[nodiscard]] std::vector<DiscoveredPort> withFtdiFastPorts(std::vector<DiscoveredPort> ports);

// Opens "ftdi:SERIAL" and "ftdi:INDEX" names on the bus as FtdiBitbangLines; every other
// name goes to plainPorts. With AllNames (the virtual chip behind --sim-driver
// ftdi-bitbang) every name opens the bus's first chip.
class FtdiPortFactory final : public SerialPortFactory {
  public:
    enum class Routing { FtdiNames, AllNames };

    FtdiPortFactory(ftdi::FtdiBus& bus, Clock& clock, SerialPortFactory& plainPorts,
                    Routing routing = Routing::FtdiNames, DiscoveryRoots roots = {});

    using SerialPortFactory::open;
    std::unique_ptr<LineAccess> open(const std::string& deviceName, SerialOpenResult& result,
                                     ui::SystemError& error) override;
    std::string devicePath(const std::string& deviceName) const override;

  private:
    bool routed(const std::string& deviceName) const;
    // Where the same converter works as a plain serial port, for the error's reason.
    std::string plainPortAdvice(const ftdi::DeviceInfo& device) const;

    ftdi::FtdiBus& m_bus;
    Clock& m_clock;
    SerialPortFactory& m_plainPorts;
    Routing m_routing;
    DiscoveryRoots m_roots;
};

}  // namespace adapter
