#include "sim/virtual_ftdi_chip.h"

#include <algorithm>
#include <deque>
#include <limits>

namespace sim {

namespace ftdi = adapter::ftdi;

namespace {

// The chip's bit-bang port as its data sheet numbers the pins (D0-D7), written down here
// and not taken from the PC side's map, so that a wrong pin there fails the tests.
constexpr std::uint8_t pinTxdD0 = 1 << 0;
constexpr std::uint8_t pinRtsD2 = 1 << 2;
constexpr std::uint8_t pinCtsD3 = 1 << 3;
constexpr std::uint8_t pinDtrD4 = 1 << 4;
constexpr std::uint8_t pinDsrD5 = 1 << 5;
constexpr std::uint8_t uartOutputs = pinTxdD0 | pinRtsD2 | pinDtrD4;
// Synchronous bit-bang applies 16 pin states per baud; at power-up one every 10 us.
constexpr std::uint64_t pinStatesPerBaud = 16;
constexpr std::uint64_t powerUpStateNs = 10'000;

constexpr std::uint64_t nsPerMs = 1'000'000;
// A chip powers up with the latency timer at 16 ms.
constexpr std::uint64_t defaultLatencyNs = 16 * nsPerMs;
// libftdi scales the rate for bit-bang mode only once the mode is set; asked before, the
// chip runs this much slower.
constexpr std::uint64_t unscaledRateFactor = 4;

struct Packet {
    std::uint64_t startNs = 0;
    std::uint64_t readyNs = 0;  // when closed: sent at once when full, else at its deadline
    bool closed = false;
    std::vector<std::uint8_t> samples;
    std::size_t taken = 0;
};

}  // namespace

struct VirtualFtdiBus::Shared {
    adapter::VirtualClock& clock;
    Controller& controller;
    VirtualFtdiConfig config;

    bool vanished = false;
    bool open = false;
    std::uint64_t writes = 0;
    std::uint64_t overruns = 0;

    bool bitbang = false;
    std::uint8_t mask = 0;
    std::uint8_t latch = 0xFF;
    std::uint64_t stateNs = powerUpStateNs;
    std::uint64_t latencyNs = defaultLatencyNs;
    std::deque<std::uint8_t> fifo;
    std::uint64_t nextApplyNs = 0;
    std::deque<Packet> packets;

    // The lines as last driven into the controller, and when each last changed.
    bool driven[3] = {false, false, false};
    std::uint64_t changedNs[3] = {0, 0, 0};
    std::uint64_t shortestPulseNs = std::numeric_limits<std::uint64_t>::max();

    Shared(adapter::VirtualClock& c, Controller& k) : clock(c), controller(k) {}

    std::uint64_t now() const { return clock.nowNs(); }

    // An output pin not driven by bit-bang mode idles high, as the UART leaves it: off.
    std::uint8_t outputs() const {
        return static_cast<std::uint8_t>((latch & mask) | (~mask & uartOutputs));
    }

    // The pins as the chip samples them at timeNs.
    std::uint8_t pins(std::uint64_t timeNs) {
        const std::uint8_t out = outputs();
        std::uint8_t in = 0xFF & ~(pinCtsD3 | pinDsrD5) & ~uartOutputs;
        in |= out;
        const bool ctsAsserted = config.adapterAttached && controller.readDataIn(timeNs);
        // The loop-back of the DTR line.
        const bool dsrAsserted = config.adapterAttached && (out & pinDtrD4) == 0;
        // The converter's receivers invert: an asserted line reads 0.
        if (!ctsAsserted) {
            in |= pinCtsD3;
        }
        if (dsrAsserted == config.dsrPinInverted) {
            in |= pinDsrD5;
        }
        return in;
    }

    // force: the lines are taken over (the port opened), whatever they were.
    void drive(std::uint64_t timeNs, bool force = false) {
        if (!config.adapterAttached) {
            return;
        }
        const std::uint8_t out = outputs();
        const bool levels[3] = {(out & pinRtsD2) == 0, (out & pinDtrD4) == 0,
                                (out & pinTxdD0) == 0};
        const Line lines[3] = {Line::Clock, Line::DataOut, Line::Reset};
        for (int i = 0; i < 3; ++i) {
            if (levels[i] == driven[i] && !force) {
                continue;
            }
            if (bitbang && changedNs[i] != 0 && levels[i] != driven[i]) {
                shortestPulseNs = std::min(shortestPulseNs, timeNs - changedNs[i]);
            }
            driven[i] = levels[i];
            changedNs[i] = timeNs;
            controller.setLine(timeNs, lines[i], levels[i]);
        }
    }

    void pushSample(std::uint8_t sample, std::uint64_t timeNs) {
        if (!packets.empty() && !packets.back().closed &&
            timeNs >= packets.back().startNs + latencyNs) {
            packets.back().closed = true;
            packets.back().readyNs = packets.back().startNs + latencyNs;
        }
        if (packets.empty() || packets.back().closed) {
            packets.push_back(Packet{timeNs, timeNs + latencyNs, false, {}, 0});
        }
        Packet& packet = packets.back();
        packet.samples.push_back(sample);
        if (packet.samples.size() >= config.packetSamples) {
            packet.closed = true;
            packet.readyNs = timeNs;
        }
    }

    // Applies the FIFO's bytes due by untilNs. While the host waits for an answer it stops
    // early once the first unread packet is full, and says when.
    std::uint64_t run(std::uint64_t untilNs, bool untilAnswer = false) {
        while (!fifo.empty() && nextApplyNs <= untilNs) {
            const std::uint64_t t = nextApplyNs;
            pushSample(pins(t), t);
            latch = fifo.front();
            fifo.pop_front();
            drive(t);
            nextApplyNs = t + stateNs;
            if (untilAnswer && packets.front().closed && packets.front().readyNs <= untilNs) {
                return std::max(packets.front().readyNs, now());
            }
        }
        return untilNs;
    }

    std::size_t outstanding() const {
        std::size_t count = fifo.size();
        for (const Packet& packet : packets) {
            count += packet.samples.size() - packet.taken;
        }
        return count;
    }

    // When the first packet with unread samples goes out, as far as known now.
    std::uint64_t firstReadyNs() const {
        if (packets.empty()) {
            return nextApplyNs + latencyNs;
        }
        const Packet& first = packets.front();
        return first.closed ? first.readyNs : first.startNs + latencyNs;
    }

    int write(const std::uint8_t* data, int size) {
        run(now());
        if (fifo.empty()) {
            nextApplyNs = std::max(nextApplyNs, now());
        }
        if (outstanding() + static_cast<std::size_t>(size) > config.fifoBytes) {
            ++overruns;
        }
        fifo.insert(fifo.end(), data, data + size);
        return size;
    }

    int read(std::uint8_t* data, int size) {
        run(now());
        if (outstanding() == 0) {
            // Only the modem-status bytes of an empty packet come back.
            clock.advanceNs(latencyNs);
            return 0;
        }
        while (firstReadyNs() > now()) {
            const std::uint64_t until = run(firstReadyNs(), true);
            clock.waitUntilNs(std::min(until, firstReadyNs()));
        }
        int got = 0;
        while (got < size && !packets.empty() && firstReadyNs() <= now()) {
            Packet& packet = packets.front();
            packet.closed = true;
            while (got < size && packet.taken < packet.samples.size()) {
                data[got++] = packet.samples[packet.taken++];
            }
            if (packet.taken == packet.samples.size()) {
                packets.pop_front();
            }
        }
        return got;
    }
};

namespace {

class VirtualFtdiChip final : public ftdi::FtdiDevice {
  public:
    explicit VirtualFtdiChip(std::shared_ptr<VirtualFtdiBus::Shared> shared)
        : m_shared(std::move(shared)) {}
    ~VirtualFtdiChip() override { close(); }

    int open(const ftdi::DeviceInfo& device) override {
        VirtualFtdiBus::Shared& s = *m_shared;
        if (s.vanished || device.serial != s.config.device.serial) {
            return failWith(-3, "device not found");
        }
        if (s.config.openFailure != 0) {
            return failWith(s.config.openFailure, s.config.openFailureText);
        }
        if (s.open) {
            return failWith(-5,
                            "unable to claim usb device. Make sure the default FTDI "
                            "driver is not in use");
        }
        s.open = true;
        m_holds = true;
        s.bitbang = false;
        s.mask = 0;
        s.latencyNs = defaultLatencyNs;
        s.fifo.clear();
        s.packets.clear();
        // The tty held the lines off, as any closed serial port does.
        s.drive(s.now(), true);
        return 0;
    }
    int setBitmode(std::uint8_t outputMask, ftdi::BitMode mode) override {
        if (!usable()) {
            return failWith(-1, "USB device unavailable");
        }
        VirtualFtdiBus::Shared& s = *m_shared;
        s.run(s.now());
        s.bitbang = mode == ftdi::BitMode::SyncBitbang;
        s.mask = s.bitbang ? outputMask : 0;
        if (!s.bitbang) {
            s.latch = 0xFF;
        }
        s.drive(s.now());
        return 0;
    }
    int setBaudrate(int baud) override {
        if (!usable() || baud <= 0) {
            return failWith(-1, "Silly baudrate <= 0.");
        }
        VirtualFtdiBus::Shared& s = *m_shared;
        const std::uint64_t rate = static_cast<std::uint64_t>(baud) * pinStatesPerBaud;
        s.stateNs = 1'000'000'000 / rate * (s.bitbang ? 1 : unscaledRateFactor);
        return 0;
    }
    int setLatencyTimer(std::uint8_t ms) override {
        if (!usable() || ms == 0) {
            return failWith(-1, "latency out of range. Only valid for 1-255");
        }
        m_shared->latencyNs = ms * nsPerMs;
        return 0;
    }
    int flushBuffers() override {
        if (!usable()) {
            return failWith(-1, "USB device unavailable");
        }
        VirtualFtdiBus::Shared& s = *m_shared;
        s.run(s.now());
        s.fifo.clear();
        s.packets.clear();
        return 0;
    }
    int writeData(const std::uint8_t* data, int size) override {
        VirtualFtdiBus::Shared& s = *m_shared;
        if (usable()) {
            ++s.writes;
            if (s.config.vanishAtWrite != 0 && s.writes >= s.config.vanishAtWrite) {
                s.vanished = true;
            }
        }
        if (!usable()) {
            return failWith(-1, "usb bulk write failed");
        }
        return s.write(data, size);
    }
    int readData(std::uint8_t* data, int size) override {
        if (!usable()) {
            return failWith(-1, "usb bulk read failed");
        }
        return m_shared->read(data, size);
    }
    void close() override {
        VirtualFtdiBus::Shared& s = *m_shared;
        if (!m_holds) {
            return;
        }
        m_holds = false;
        s.open = false;
        if (!s.vanished) {
            s.run(s.now());
            s.bitbang = false;
            s.mask = 0;
            s.latch = 0xFF;
            s.fifo.clear();
            s.packets.clear();
            s.drive(s.now());
        }
    }
    std::string errorString() const override { return m_error; }

  private:
    bool usable() const { return m_holds && !m_shared->vanished; }
    int failWith(int code, std::string text) {
        m_error = std::move(text);
        return code;
    }

    std::shared_ptr<VirtualFtdiBus::Shared> m_shared;
    bool m_holds = false;
    std::string m_error;
};

}  // namespace

VirtualFtdiBus::VirtualFtdiBus(adapter::VirtualClock& clock, Controller& controller)
    : m_shared(std::make_shared<Shared>(clock, controller)) {}

VirtualFtdiBus::~VirtualFtdiBus() = default;

std::vector<ftdi::DeviceInfo> VirtualFtdiBus::listDevices(std::string& error) {
    error.clear();
    if (m_shared->vanished) {
        return {};
    }
    return {m_shared->config.device};
}

std::unique_ptr<ftdi::FtdiDevice> VirtualFtdiBus::newDevice() {
    return std::make_unique<VirtualFtdiChip>(m_shared);
}

VirtualFtdiConfig& VirtualFtdiBus::config() {
    return m_shared->config;
}
bool VirtualFtdiBus::vanished() const {
    return m_shared->vanished;
}
std::uint64_t VirtualFtdiBus::writes() const {
    return m_shared->writes;
}
std::uint64_t VirtualFtdiBus::overruns() const {
    return m_shared->overruns;
}
std::uint64_t VirtualFtdiBus::shortestPulseNs() const {
    return m_shared->shortestPulseNs;
}

}  // namespace sim
