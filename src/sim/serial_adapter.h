// The virtual serial adapter: modem-control lines wired to the virtual controller.
//
//   RTS -> CLOCK     DTR -> DATA-OUT     break -> RESET     CTS <- DATA-IN
//   DSR <- DTR, looped back inside the adapter
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "adapter/clock.h"
#include "adapter/serial_port.h"
#include "sim/controller.h"

namespace sim {

enum class LoopBack { FollowsDtr, Missing, StuckOn };

struct SerialAdapterConfig {
    // Missing: no adapter on the port (DSR never follows DTR, CTS stays off).
    LoopBack loopBack = LoopBack::FollowsDtr;
    // Empty: whatever port is opened leads to the adapter; else only this device name.
    std::string adapterPort;
    // Anything but Ok: the port cannot be opened, for the reason given, with openErrno as
    // the system's error number (0: the one a real port gives for that step).
    adapter::SerialOpenResult openResult = adapter::SerialOpenResult::Ok;
    int openErrno = 0;
    // The port disappears after this many line operations (0 = never).
    std::uint64_t vanishAfterOps = 0;
    // What one modem-line call costs on the clock.
    std::uint64_t opCostNs = 2000;
};

class VirtualSerialFactory final : public adapter::SerialPortFactory {
  public:
    VirtualSerialFactory(adapter::VirtualClock& clock, Controller& controller);
    ~VirtualSerialFactory() override;

    using adapter::SerialPortFactory::open;
    std::unique_ptr<adapter::LineAccess> open(const std::string& deviceName,
                                              adapter::SerialOpenResult& result,
                                              ui::SystemError& error) override;

    SerialAdapterConfig& config();
    // The vanished port is back: the next open works (handles from before stay dead).
    void replug();
    bool vanished() const;
    // Whether the controller hangs on this adapter (the rig moves it between adapters).
    void setAttached(bool attached);
    int openCount() const;
    // Line operations made on any port handed out.
    std::uint64_t operationCount() const;

    struct Shared;

  private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace sim
