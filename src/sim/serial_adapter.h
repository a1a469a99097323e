// The virtual serial adapter: modem-control lines wired to the virtual controller.
//
//   RTS -> CLOCK     DTR -> DATA-OUT     break -> RESET     CTS <- DATA-IN
//   DSR <- DTR, looped back inside the adapter
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "adapter/clock.h"
#include "adapter/serial_port.h"
#include "sim/controller.h"

namespace sim {

enum class LoopBack { FollowsDtr, Missing, StuckOn };

// The kernel drivers a pilot's port may have, as they treat the modem lines.
enum class SerialDriver { Native, Ftdi, Cp210x, Ch341, Ch341NoBreak, Pl2303, CdcAcm };

struct SerialAdapterConfig {
    // Missing: no adapter on the port (DSR never follows DTR, CTS stays off).
    LoopBack loopBack = LoopBack::FollowsDtr;
    // Anything but Ok: the port cannot be opened, for the reason given, with the error
    // number a real port gives for that step.
    adapter::SerialOpenResult openResult = adapter::SerialOpenResult::Ok;
    // The port disappears after this many line operations (0 = never).
    std::uint64_t vanishAfterOps = 0;
    // What one modem-line change costs on the clock.
    std::uint64_t opCostNs = 2000;

    // --- the driver's behaviour; useDriver() sets all of these from a profile
    SerialDriver driver = SerialDriver::Native;
    // What one CTS/DSR read costs; 0: as a line change.
    std::uint64_t readCostNs = 0;
    // Not 0: a read gives the levels of the last status report, one made every interval.
    std::uint64_t statusReportIntervalNs = 0;
    // Not 0: a break request becomes a RESET pulse this long, then the line returns.
    std::uint64_t breakPulseNs = 0;
    // CTS reads on whatever DATA-IN does.
    bool ctsAlwaysOn = false;
    // Opening raises DTR and RTS (CLOCK and DATA-OUT high); the last close drops them, as
    // every tty does. Off in the bare configuration, which keeps the ideal port the line
    // sequences were pinned on; every named profile has it on.
    bool raisesLinesOnOpen = false;
};

// "native", "ftdi", "cp210x", "ch341", "ch341-nobreak", "pl2303", "cdc-acm".
std::optional<SerialDriver> driverProfileByName(std::string_view name);
std::string_view driverName(SerialDriver driver);
// Every profile, in the order above.
inline constexpr SerialDriver allSerialDrivers[] = {
    SerialDriver::Native,       SerialDriver::Ftdi,   SerialDriver::Cp210x, SerialDriver::Ch341,
    SerialDriver::Ch341NoBreak, SerialDriver::Pl2303, SerialDriver::CdcAcm};
// The costs and behaviour of driver into config; the other knobs stay.
void useDriver(SerialAdapterConfig& config, SerialDriver driver);
// The front ends' --sim-driver NAME: false (config unchanged) for an unknown name.
[[nodiscard]] bool applySimDriver(SerialAdapterConfig& config, std::string_view name);
// The front ends' --sim-unplug-after N: the port vanishes after N line operations.
inline void applySimUnplugAfter(SerialAdapterConfig& config, std::uint64_t operations) {
    config.vanishAfterOps = operations;
}

class VirtualSerialFactory final : public adapter::SerialPortFactory {
  public:
    VirtualSerialFactory(adapter::VirtualClock& clock, Controller& controller);
    ~VirtualSerialFactory() override;

    using adapter::SerialPortFactory::open;
    std::unique_ptr<adapter::LineAccess> open(const std::string& deviceName,
                                              adapter::SerialOpenResult& result,
                                              ui::SystemError& error) override;

    SerialAdapterConfig& config();
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
