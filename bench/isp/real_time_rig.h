// The virtual controller on the real clock: waits really wait, and every line operation
// first brings the controller's clock up to real time, so the procedures run at the
// speed they would on a port whose operations cost nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "adapter/clock.h"
#include "adapter/link_context.h"
#include "adapter/port_io.h"
#include "adapter/serial_port.h"
#include "sim/test_rig.h"

namespace bench {

// Monotonic time from construction; adds up what every wait asked for.
class WaitCountingClock final : public adapter::Clock {
  public:
    explicit WaitCountingClock(adapter::VirtualClock& controllerClock);
    std::uint64_t nowNs() override;
    void waitUntilNs(std::uint64_t deadlineNs) override;

    std::uint64_t waitedNs() const { return m_waitedNs; }
    // How much longer than asked the waits took: the scheduler's share, not ours.
    std::uint64_t overrunNs() const { return m_overrunNs; }
    // The controller's clock catches up with real time.
    void sync();

  private:
    adapter::MonotonicClock m_real;
    adapter::VirtualClock& m_controllerClock;
    std::uint64_t m_startNs;
    std::uint64_t m_waitedNs = 0;
    std::uint64_t m_overrunNs = 0;
};

class SyncedSerialPorts final : public adapter::SerialPortFactory {
  public:
    SyncedSerialPorts(adapter::SerialPortFactory& inner, WaitCountingClock& clock)
        : m_inner(inner), m_clock(clock) {}
    std::unique_ptr<adapter::LineAccess> open(const std::string& deviceName,
                                              adapter::SerialOpenResult& result,
                                              ui::SystemError& error) override;

  private:
    adapter::SerialPortFactory& m_inner;
    WaitCountingClock& m_clock;
};

class SyncedPortIo final : public adapter::PortIo {
  public:
    SyncedPortIo(adapter::PortIo& inner, WaitCountingClock& clock)
        : m_inner(inner), m_clock(clock) {}
    bool writeData(std::uint16_t base, std::uint8_t value) override;
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

  private:
    adapter::PortIo& m_inner;
    WaitCountingClock& m_clock;
};

// A TestRig whose procedures see the real clock.
struct RealTimeRig {
    explicit RealTimeRig(bool parallel);

    sim::TestRig rig;
    WaitCountingClock clock{rig.clock()};
    SyncedSerialPorts serialPorts{rig.serialPorts(), clock};
    SyncedPortIo portIo{rig.portIo(), clock};
    adapter::LinkContext link{rig.port(),  rig.linkState(), rig.messageText(), clock,
                              serialPorts, portIo,          rig.host()};
};

}  // namespace bench
