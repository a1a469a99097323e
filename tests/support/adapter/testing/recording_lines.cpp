#include "adapter/testing/recording_lines.h"

#include <cstdio>
#include <sstream>

namespace adapter::testing {

namespace {

constexpr std::uint64_t nsPerMs = 1'000'000;
constexpr std::uint8_t clockDataBit = 0x02;

std::string level(bool high) {
    return high ? " high" : " low";
}

std::string hexByte(const char* prefix, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, "%s 0x%02X", prefix, value);
    return text;
}

}  // namespace

void RecordingClock::waitUntilNs(std::uint64_t deadlineNs) {
    if (deadlineNs <= m_nowNs) {
        return;
    }
    const std::uint64_t ns = deadlineNs - m_nowNs;
    m_recorder.record(ns % nsPerMs == 0 ? "wait " + std::to_string(ns / nsPerMs) + " ms"
                                        : "wait " + std::to_string(ns) + " ns");
    m_nowNs = deadlineNs;
}

void RecordingClock::waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                                        const std::function<void()>& serve) {
    const std::uint64_t startNs = m_nowNs;
    waitUntilNs(deadlineNs);
    const std::uint64_t endNs = m_nowNs;
    for (std::uint64_t at = startNs; sliceNs != 0 && endNs - at > sliceNs;) {
        m_nowNs = at += sliceNs;
        serve();
    }
    m_nowNs = endNs;
}

void Recorder::queue(const std::string& bytes) {
    std::istringstream in(bytes);
    for (int value = 0; in >> std::hex >> value;) {
        for (int bit = 7; bit >= 0; --bit) {
            answerBits.push_back((value >> bit) & 1);
        }
    }
}

std::vector<std::string> Recorder::trace() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0, run = 1; i < events.size(); i += run, run = 1) {
        while (events[i].read && i + run < events.size() &&
               events[i + run].what == events[i].what) {
            ++run;
        }
        lines.push_back(run > 1 ? events[i].what + " x" + std::to_string(run) : events[i].what);
    }
    return lines;
}

std::vector<std::string> Recorder::changes() const {
    std::vector<std::string> lines;
    for (const Event& event : events) {
        if (!event.read) {
            lines.push_back(event.what);
        }
    }
    return lines;
}

int Recorder::count(const std::string& what) const {
    int n = 0;
    for (const Event& event : events) {
        n += event.what == what ? 1 : 0;
    }
    return n;
}

RecordingSerialLines::~RecordingSerialLines() {
    m_recorder.record("close");
}

bool RecordingSerialLines::operate() {
    if (!m_failed && m_recorder.serialFailAfter >= 0 &&
        m_operations >= m_recorder.serialFailAfter) {
        m_failed = true;
        m_fault = {"COM2", "ioctl(TIOCMGET)", 5, "Input/output error"};
        m_recorder.record("port lost");
    }
    if (!m_failed) {
        ++m_operations;
        ++m_recorder.operations;
        m_recorder.clock.advanceNs(m_recorder.operationCostNs);
    }
    return !m_failed;
}

bool RecordingSerialLines::change(const char* line, bool high) {
    if (operate()) {
        m_recorder.record(line + level(high));
    }
    return !m_failed;
}

void RecordingSerialLines::setClock(bool high) {
    const bool fell = m_recorder.rts && !high;
    if (change("CLOCK", high)) {
        m_recorder.rts = high;
        if (fell) {
            m_recorder.clockFell();
        }
    }
}

void RecordingSerialLines::setDataOut(bool high) {
    if (change("DATA-OUT", high)) {
        m_recorder.dtr = high;
    }
}

int RecordingSerialLines::readDataIn() {
    return (readModemStatus("read DATA-IN") & modemCtsOn) != 0 ? 1 : 0;
}

bool RecordingSerialLines::readLoopBack() {
    return (readModemStatus("read DSR") & modemDsrOn) != 0;
}

std::uint32_t RecordingSerialLines::readModemStatus(const char* what) {
    if (!operate()) {
        return 0;
    }
    m_recorder.record(what, true);
    const bool dsr = m_recorder.dsr == DsrMode::StuckOn ||
                     (m_recorder.dsr == DsrMode::FollowsDtr && m_recorder.dtr);
    return (m_recorder.dataIn() != 0 ? modemCtsOn : 0u) | (dsr ? modemDsrOn : 0u);
}

std::unique_ptr<LineAccess> RecordingSerialPorts::open(const std::string& deviceName,
                                                       SerialOpenResult& result,
                                                       ui::SystemError& error) {
    ++opens;
    ++m_recorder.operations;
    m_recorder.record("open " + deviceName);
    result = nextResult;
    if (result != SerialOpenResult::Ok) {
        error = nextError;
        error.subject = deviceName;
        return nullptr;
    }
    return std::make_unique<RecordingSerialLines>(m_recorder);
}

bool RecordingPortIo::access(std::uint16_t base, const std::string& what, const std::string& done,
                             bool read) {
    ++m_recorder.operations;
    m_recorder.clock.advanceNs(m_recorder.operationCostNs);
    if (m_recorder.portIoFails) {
        m_recorder.record(what + " failed", read);
        return fail(m_recorder.portIoError);
    }
    m_recorder.lastBase = base;
    m_recorder.record(done, read);
    return true;
}

bool RecordingPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    const bool fell = (m_recorder.dataRegister & clockDataBit) != 0 && (value & clockDataBit) == 0;
    if (!access(base, "write data", hexByte("data", value), false)) {
        return false;
    }
    m_recorder.dataRegister = value;
    if (fell) {
        m_recorder.clockFell();
    }
    return true;
}

bool RecordingPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    if (!access(base, "read word", "read word", true)) {
        return false;
    }
    // DATA-IN is status bit 6, over the data register.
    word = static_cast<std::uint16_t>((m_recorder.dataIn() != 0 ? 0x4000 : 0) |
                                      m_recorder.dataRegister);
    return true;
}

bool RecordingPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    if (!access(base, "read control", "read control", true)) {
        return false;
    }
    value = m_recorder.controlRegister;
    return true;
}

bool RecordingPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    if (!access(base, "write control", hexByte("control", value), false)) {
        return false;
    }
    m_recorder.controlRegister = value;
    return true;
}

RecordingRig::RecordingRig()
    : ctx{port, state, messageText, recorder.clock, serialPorts, portIo, host, nullptr} {
    port.kind = PortKind::Serial;
    port.portName = port.comDeviceName = "COM2";
}

void RecordingRig::selectParallel(bool directPortIo) {
    port.kind = PortKind::Parallel;
    port.portName = "0378";
    port.parallelBase = 0x378;
    port.directPortIo = directPortIo;
    port.portDriverReady = !directPortIo;
}

}  // namespace adapter::testing
