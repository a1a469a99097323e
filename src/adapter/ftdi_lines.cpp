#include "adapter/ftdi_lines.h"

#include <algorithm>

namespace adapter {

using ftdi::Levels;

namespace {

// The chip answers each transfer after its latency timer: 1 ms, the shortest it has.
constexpr std::uint8_t latencyTimerMs = 1;

}  // namespace

FtdiBitbangLines::FtdiBitbangLines(std::unique_ptr<ftdi::FtdiDevice> device, std::string name,
                                   Clock& clock)
    : m_device(std::move(device)), m_name(std::move(name)), m_clock(clock) {}

std::unique_ptr<FtdiBitbangLines> FtdiBitbangLines::open(std::unique_ptr<ftdi::FtdiDevice> device,
                                                         const ftdi::DeviceInfo& info,
                                                         std::string name, Clock& clock,
                                                         ui::SystemError& error) {
    if (!device) {
        error = ui::SystemError{name, "ftdi_new", 0, "out of memory"};
        return nullptr;
    }
    const int opened = device->open(info);
    if (opened < 0) {
        error = ui::SystemError{name, "ftdi_usb_open_dev", opened, device->errorString()};
        return nullptr;
    }
    std::unique_ptr<FtdiBitbangLines> lines(
        new FtdiBitbangLines(std::move(device), std::move(name), clock));
    if (!lines->setUp(error)) {
        return nullptr;
    }
    return lines;
}

// The pins are inputs while the opening levels are latched, so that switching them to
// outputs drives all lines off at once instead of whatever the latch held.
bool FtdiBitbangLines::setUp(ui::SystemError& error) {
    ftdi::FtdiDevice& chip = *m_device;
    auto check = [this](int result, const char* call) { return result >= 0 || fail(call, result); };
    std::vector<std::uint8_t> answer;
    const bool ready =
        check(chip.setBitmode(0x00, ftdi::BitMode::SyncBitbang), "ftdi_set_bitmode") &&
        check(chip.setBaudrate(ftdi::bitbangBaud), "ftdi_set_baudrate") &&
        check(chip.setLatencyTimer(latencyTimerMs), "ftdi_set_latency_timer") &&
        check(chip.flushBuffers(), "ftdi_tcioflush") &&
        transfer({pinState(m_levels, m_polarity)}, answer) &&
        check(chip.setBitmode(ftdi::outputPins, ftdi::BitMode::SyncBitbang), "ftdi_set_bitmode") &&
        check(chip.flushBuffers(), "ftdi_tcioflush");
    if (!ready) {
        error = m_fault;
        return false;
    }
    // DSR with DTR off: the first half of what the adapter test needs to learn polarity.
    (void)readLoopBack();
    if (m_failed) {
        error = m_fault;
        return false;
    }
    return true;
}

FtdiBitbangLines::~FtdiBitbangLines() {
    if (!m_failed) {
        change(Levels{});
        if (!m_failed) {
            (void)m_device->setBitmode(0x00, ftdi::BitMode::Reset);
        }
    }
    m_device->close();
}

bool FtdiBitbangLines::fail(const char* call, int code) {
    if (!m_failed) {
        m_failed = true;
        m_fault = ui::SystemError{m_name, call, code, m_device->errorString()};
        dropSamples();
        m_streamAhead = 0;
    }
    return false;
}

bool FtdiBitbangLines::writeAll(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t deadline = m_clock.nowNs() + answerTimeoutNs;
    while (size > 0) {
        const int written = m_device->writeData(data, static_cast<int>(size));
        if (written < 0) {
            return fail("ftdi_write_data", written);
        }
        if (written == 0 && m_clock.nowNs() > deadline) {
            return fail("ftdi_write_data", 0);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool FtdiBitbangLines::readSome(std::uint8_t* data, std::size_t size, std::size_t& got) {
    const std::uint64_t deadline = m_clock.nowNs() + answerTimeoutNs;
    for (;;) {
        const int read = m_device->readData(data, static_cast<int>(size));
        if (read < 0) {
            return fail("ftdi_read_data", read);
        }
        if (read > 0) {
            got = static_cast<std::size_t>(read);
            return true;
        }
        if (m_clock.nowNs() > deadline) {
            return fail("ftdi_read_data", 0);
        }
    }
}

bool FtdiBitbangLines::transfer(const std::vector<std::uint8_t>& states,
                                std::vector<std::uint8_t>& samples,
                                const std::function<void()>& between) {
    samples.assign(states.size(), 0);
    std::size_t written = 0;
    std::size_t answered = 0;
    while (answered < states.size()) {
        const std::size_t room = maxOutstanding - (written - answered);
        if (written < states.size() && room > 0) {
            const std::size_t size = std::min(room, states.size() - written);
            if (!writeAll(states.data() + written, size)) {
                return false;
            }
            written += size;
        }
        std::size_t got = 0;
        if (!readSome(samples.data() + answered, written - answered, got)) {
            return false;
        }
        answered += got;
        if (between && answered < states.size()) {
            between();
        }
    }
    return true;
}

bool FtdiBitbangLines::drain() {
    m_streamTimes.clear();
    m_streamEndNs = 0;
    std::uint8_t discard[maxOutstanding];
    while (m_streamAhead > 0) {
        std::size_t got = 0;
        if (!readSome(discard, std::min(m_streamAhead, maxOutstanding), got)) {
            return false;
        }
        m_streamAhead -= std::min(got, m_streamAhead);
    }
    return true;
}

void FtdiBitbangLines::dropSamples() {
    m_samples.clear();
    m_nextSample = 0;
    m_readsOfSample = 0;
    m_pacing = false;
}

void FtdiBitbangLines::keepSamples(std::vector<std::uint8_t> samples) {
    m_samples = std::move(samples);
    m_nextSample = 0;
    m_readsOfSample = 0;
    m_pacing = false;
    // A run stands for the time the chip took to sample it: a host wait past that makes
    // its rest stale, so the next read asks the chip again.
    m_samplesValidUntilNs = m_clock.nowNs() + (m_samples.size() - m_nextSample) * ftdi::pinStateNs;
}

// Reads after a line change go on reading more often than not (the rev counter, the
// calibration), and across host waits (the rev counter's wait for the next tick). So they
// get a stream that keeps up to maxOutstanding states written ahead: the chip samples
// without a gap between transfers or during the wait, and a line change only costs
// reading back what is still queued.
bool FtdiBitbangLines::fetchSamples() {
    const std::vector<std::uint8_t> chunk(streamChunkStates, pinState(m_levels, m_polarity));
    if (m_streamAhead == 0 && (!drain() || !writeStream(chunk))) {
        return false;
    }
    // Read first, then fill up to the limit: the chip then has the most queued when the
    // reader pauses.
    std::vector<std::uint8_t> run(m_streamAhead);
    std::size_t got = 0;
    if (!readSome(run.data(), run.size(), got)) {
        return false;
    }
    run.resize(got);
    m_streamAhead -= std::min(got, m_streamAhead);
    m_sampleDueNs.clear();
    for (std::size_t i = 0; i < got && !m_streamTimes.empty(); ++i) {
        m_sampleDueNs.push_back(m_streamTimes.front() + streamLagNs);
        m_streamTimes.pop_front();
    }
    if (!writeStream(chunk)) {
        return false;
    }
    keepSamples(std::move(run));
    m_pacing = true;
    return !m_samples.empty();
}

// Each chunk starts where the chip is done with the last one, or now if it ran dry.
bool FtdiBitbangLines::writeStream(const std::vector<std::uint8_t>& chunk) {
    while (m_streamAhead + chunk.size() <= maxOutstanding) {
        if (!writeAll(chunk.data(), chunk.size())) {
            return false;
        }
        const std::uint64_t startNs = std::max(m_clock.nowNs(), m_streamEndNs);
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            m_streamTimes.push_back(startNs + i * ftdi::pinStateNs);
        }
        m_streamEndNs = startNs + chunk.size() * ftdi::pinStateNs;
        m_streamAhead += chunk.size();
    }
    return true;
}

std::optional<std::uint8_t> FtdiBitbangLines::nextSample() {
    if (m_failed) {
        return std::nullopt;
    }
    const std::uint64_t now = m_clock.nowNs();
    if (m_pacing) {
        // Reads that paused (a host wait) go on with the sample of the present.
        while (m_nextSample < m_sampleDueNs.size() &&
               m_sampleDueNs[m_nextSample] + ftdi::pinStateNs < now) {
            ++m_nextSample;
            m_readsOfSample = 0;
        }
    } else if (m_nextSample < m_samples.size() && now > m_samplesValidUntilNs) {
        dropSamples();
    }
    if (m_nextSample >= m_samples.size() && !fetchSamples()) {
        return std::nullopt;
    }
    if (m_pacing && m_nextSample < m_sampleDueNs.size()) {
        // A stream is read at the chip's own pace, a fixed latency behind it, so that time
        // on the host clock counts samples: a rev counter window holds its length of them.
        m_clock.waitUntilNs(m_sampleDueNs[m_nextSample]);
    }
    const std::uint8_t sample = m_samples[m_nextSample];
    if (++m_readsOfSample >= ftdi::readsPerSample) {
        m_readsOfSample = 0;
        ++m_nextSample;
    }
    return sample;
}

void FtdiBitbangLines::change(Levels levels) {
    if (m_failed || !drain()) {
        return;
    }
    dropSamples();
    m_levels = levels;
    std::vector<std::uint8_t> answer;
    (void)transfer({pinState(m_levels, m_polarity)}, answer);
}

void FtdiBitbangLines::setLevel(bool Levels::*line, bool high) {
    Levels levels = m_levels;
    levels.*line = high;
    change(levels);
}

int FtdiBitbangLines::readDataIn() {
    const std::optional<std::uint8_t> sample = nextSample();
    return sample && ftdi::dataInHigh(*sample, m_polarity) ? 1 : 0;
}

void FtdiBitbangLines::learnPolarity(std::uint8_t sample) {
    (m_levels.dataOut ? m_dsrWithDtrOn : m_dsrWithDtrOff) = sample;
    if (m_dsrWithDtrOn && m_dsrWithDtrOff) {
        if (const auto learnt =
                ftdi::polarityFromLoopBack(*m_dsrWithDtrOn, *m_dsrWithDtrOff, m_polarity)) {
            m_polarity = *learnt;
        }
    }
}

bool FtdiBitbangLines::readLoopBack() {
    return (readModemStatus() & 0x20u) != 0;
}

std::uint32_t FtdiBitbangLines::readModemStatus() {
    const std::optional<std::uint8_t> sample = nextSample();
    if (!sample) {
        return 0;
    }
    learnPolarity(*sample);
    std::uint32_t status = ftdi::dataInHigh(*sample, m_polarity) ? 0x10u : 0u;
    return ftdi::loopBackOn(*sample, m_polarity) ? status | 0x20u : status;
}

bool FtdiBitbangLines::sendExchange(ftdi::ExchangeBuffer& exchange,
                                    std::vector<std::uint8_t>& returned,
                                    const std::function<void()>& between) {
    if (m_failed || !drain()) {
        return false;
    }
    dropSamples();
    // From the extra state on, the samples show the lines after the exchange: they serve
    // the bit delays that follow it.
    const std::size_t after = exchange.states.size() - 1;
    exchange.states.insert(exchange.states.end(), exchangeTailStates, exchange.states.back());
    if (!transfer(exchange.states, returned, between)) {
        return false;
    }
    m_levels = exchange.after;
    keepSamples(std::vector<std::uint8_t>(returned.begin() + static_cast<std::ptrdiff_t>(after),
                                          returned.end()));
    return true;
}

std::uint32_t FtdiBitbangLines::exchangeBits(std::uint32_t bits, int count,
                                             const BitClocking& clocking) {
    ftdi::ExchangeBuffer exchange =
        ftdi::buildExchange(bits, count, clocking, m_levels, m_polarity);
    std::vector<std::uint8_t> returned;
    if (!sendExchange(exchange, returned, clocking.keepAlive)) {
        return 0;
    }
    return ftdi::extractSamples(exchange, returned, m_polarity);
}

bool FtdiBitbangLines::exchangeSequence(std::span<const ExchangeStep> steps,
                                        const BitClocking& clocking,
                                        std::vector<std::uint32_t>& samples) {
    ftdi::ExchangeBuffer exchange = ftdi::buildSequence(steps, clocking, m_levels, m_polarity);
    std::vector<std::uint8_t> returned;
    if (!sendExchange(exchange, returned, clocking.keepAlive)) {
        // Sent all the same: the answers of failed lines are all low, and the caller sees
        // the fault.
        samples.assign(steps.size(), 0);
        return true;
    }
    samples = ftdi::extractSequence(steps, exchange, returned, m_polarity);
    return true;
}

// --- opening by name

std::vector<DiscoveredPort> withFtdiFastPorts(std::vector<DiscoveredPort> ports) {
    std::vector<DiscoveredPort> listed;
    std::vector<std::string> seen;
    for (DiscoveredPort& port : ports) {
        const bool fast =
            port.isUsb && port.vendorId == ftdi::ftdiVendorId &&
            std::ranges::find(ftdi::ftdiProductIds, port.productId) != ftdi::ftdiProductIds.end() &&
            !port.serialNumber.empty() && std::ranges::find(seen, port.serialNumber) == seen.end();
        listed.push_back(port);
        if (!fast) {
            continue;
        }
        // The other channels of a multi-channel chip share its serial number.
        seen.push_back(port.serialNumber);
        DiscoveredPort variant = port;
        variant.name = std::string(ftdi::portPrefix) + port.serialNumber;
        variant.devicePath = variant.name;
        variant.byIdPath.clear();
        variant.driver = fastPathDriver;
        listed.push_back(std::move(variant));
    }
    return listed;
}

FtdiPortFactory::FtdiPortFactory(ftdi::FtdiBus& bus, Clock& clock, SerialPortFactory& plainPorts,
                                 Routing routing, DiscoveryRoots roots)
    : m_bus(bus),
      m_clock(clock),
      m_plainPorts(plainPorts),
      m_routing(routing),
      m_roots(std::move(roots)) {}

bool FtdiPortFactory::routed(const std::string& deviceName) const {
    return m_routing == Routing::AllNames || ftdi::isFtdiPortName(deviceName);
}

std::string FtdiPortFactory::devicePath(const std::string& deviceName) const {
    return routed(deviceName) ? deviceName : m_plainPorts.devicePath(deviceName);
}

std::string FtdiPortFactory::plainPortAdvice(const ftdi::DeviceInfo& device) const {
    for (const DiscoveredPort& port : discoverSerialPorts(m_roots)) {
        if (port.isUsb && port.vendorId == ftdi::ftdiVendorId &&
            port.productId == device.productId &&
            (device.serial.empty() || port.serialNumber == device.serial)) {
            return "the same converter also works, more slowly, as the serial port " +
                   port.devicePath;
        }
    }
    return "the same converter also works, more slowly, as a plain serial port (/dev/ttyUSB…)";
}

std::unique_ptr<LineAccess> FtdiPortFactory::open(const std::string& deviceName,
                                                  SerialOpenResult& result,
                                                  ui::SystemError& error) {
    if (!routed(deviceName)) {
        return m_plainPorts.open(deviceName, result, error);
    }
    result = SerialOpenResult::CannotOpen;
    std::string listError;
    const std::vector<ftdi::DeviceInfo> devices = m_bus.listDevices(listError);
    if (!listError.empty()) {
        error = ui::SystemError{deviceName, "ftdi_usb_find_all", 0, listError};
        return nullptr;
    }
    std::optional<ftdi::DeviceInfo> device = ftdi::resolvePortName(deviceName, devices);
    if (!device && m_routing == Routing::AllNames && !devices.empty()) {
        device = devices.front();
    }
    if (!device) {
        std::string found;
        for (const ftdi::DeviceInfo& each : devices) {
            found += (found.empty() ? "" : ", ") + ftdi::portName(each);
        }
        error = ui::SystemError{deviceName,
                                {},
                                0,
                                "no such FTDI converter (connected: " +
                                    (found.empty() ? std::string("none") : found) + ")"};
        return nullptr;
    }
    ui::SystemError openError;
    std::unique_ptr<LineAccess> lines =
        FtdiBitbangLines::open(m_bus.newDevice(), *device, deviceName, m_clock, openError);
    if (!lines) {
        error = openError;
        error.reason += (error.reason.empty() ? "" : "; ") + plainPortAdvice(*device);
        return nullptr;
    }
    result = SerialOpenResult::Ok;
    error = {};
    return lines;
}

}  // namespace adapter
