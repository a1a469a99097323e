#include "real_time_rig.h"

#include <algorithm>

namespace bench {

namespace {

class SyncedLines final : public adapter::LineAccess {
  public:
    SyncedLines(std::unique_ptr<adapter::LineAccess> inner, WaitCountingClock& clock)
        : m_inner(std::move(inner)), m_clock(clock) {}
    void setClock(bool high) override {
        m_clock.sync();
        m_inner->setClock(high);
    }
    void setDataOut(bool high) override {
        m_clock.sync();
        m_inner->setDataOut(high);
    }
    void setReset(bool high) override {
        m_clock.sync();
        m_inner->setReset(high);
    }
    int readDataIn() override {
        m_clock.sync();
        return m_inner->readDataIn();
    }
    bool readLoopBack() override {
        m_clock.sync();
        return m_inner->readLoopBack();
    }
    std::uint32_t readModemStatus() override {
        m_clock.sync();
        return m_inner->readModemStatus();
    }
    bool failed() const override { return m_inner->failed(); }

  private:
    std::unique_ptr<adapter::LineAccess> m_inner;
    WaitCountingClock& m_clock;
};

}  // namespace

WaitCountingClock::WaitCountingClock(adapter::VirtualClock& controllerClock)
    : m_controllerClock(controllerClock), m_startNs(m_real.nowNs()) {}

std::uint64_t WaitCountingClock::nowNs() {
    return m_real.nowNs() - m_startNs;
}

void WaitCountingClock::waitUntilNs(std::uint64_t deadlineNs) {
    const std::uint64_t now = nowNs();
    if (deadlineNs > now) {
        m_waitedNs += deadlineNs - now;
    }
    m_real.waitUntilNs(deadlineNs + m_startNs);
    const std::uint64_t end = nowNs();
    m_overrunNs += end > std::max(now, deadlineNs) ? end - std::max(now, deadlineNs) : 0;
}

void WaitCountingClock::sync() {
    const std::uint64_t now = nowNs();
    if (now > m_controllerClock.nowNs()) {
        m_controllerClock.advanceNs(now - m_controllerClock.nowNs());
    }
}

std::unique_ptr<adapter::LineAccess> SyncedSerialPorts::open(const std::string& deviceName,
                                                             adapter::SerialOpenResult& result,
                                                             ui::SystemError& error) {
    m_clock.sync();
    std::unique_ptr<adapter::LineAccess> port = m_inner.open(deviceName, result, error);
    if (!port) {
        return nullptr;
    }
    return std::make_unique<SyncedLines>(std::move(port), m_clock);
}

bool SyncedPortIo::writeData(std::uint16_t base, std::uint8_t value) {
    m_clock.sync();
    return m_inner.writeData(base, value);
}

bool SyncedPortIo::readWord(std::uint16_t base, std::uint16_t& word) {
    m_clock.sync();
    return m_inner.readWord(base, word);
}

bool SyncedPortIo::readControl(std::uint16_t base, std::uint8_t& value) {
    m_clock.sync();
    return m_inner.readControl(base, value);
}

bool SyncedPortIo::writeControl(std::uint16_t base, std::uint8_t value) {
    m_clock.sync();
    return m_inner.writeControl(base, value);
}

RealTimeRig::RealTimeRig(bool parallel) {
    if (parallel) {
        rig.selectParallel();
    }
    // The line operations cost what the host takes for them, nothing more.
    rig.serialConfig().opCostNs = 0;
    rig.parallelConfig().opCostNs = 0;
    rig.trace().setEnabled(false);
}

}  // namespace bench
