// The clock, serial port factory and parallel registers the link context holds by
// reference. They forward to whichever back-ends are current, so that the virtual
// controller and the real ports can be swapped between commands.
#pragma once

#include "adapter/clock.h"
#include "adapter/port_io.h"
#include "adapter/serial_port.h"
#include "shell/app.h"

namespace shell {

class BackendSwitch final : public adapter::Clock,
                            public adapter::SerialPortFactory,
                            public adapter::PortIo {
  public:
    explicit BackendSwitch(Backends backends) : m_backends(backends) {}

    void set(Backends backends) { m_backends = backends; }

    std::uint64_t nowNs() override;
    void waitUntilNs(std::uint64_t deadlineNs) override;
    void waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                            const std::function<void()>& serve) override;
    std::uint32_t tickCount() override;

    std::unique_ptr<adapter::LineAccess> open(const std::string& deviceName,
                                              adapter::SerialOpenResult& result,
                                              ui::SystemError& error) override;
    std::string devicePath(const std::string& deviceName) const override;

    bool writeData(std::uint16_t base, std::uint8_t value) override;
    bool readWord(std::uint16_t base, std::uint16_t& word) override;
    bool readControl(std::uint16_t base, std::uint8_t& value) override;
    bool writeControl(std::uint16_t base, std::uint8_t value) override;

  private:
    adapter::Clock& clock() {
        return m_backends.clock != nullptr ? *m_backends.clock : m_monotonic;
    }

    Backends m_backends;
    // A host that brings no clock still gets honest waits.
    adapter::MonotonicClock m_monotonic;
};

}  // namespace shell
