// The one record of the adapter and the link, zero at start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "adapter/line_access.h"
#include "ui/system_error.h"

namespace adapter {

struct LinkState {
    std::unique_ptr<LineAccess> serialPort;  // valid while portOpen
    std::string serialDevice;                // the system device it was opened on
    bool portOpen = false;
    std::uint32_t modemStatus = 0;
    std::int32_t outputImage = 0;  // bit 0 DATA-OUT, bit 1 CLOCK, bit 3 RESET
    std::uint16_t inputWord = 0;
    std::int32_t bitDelayCount = 0;
    // What one DATA-IN read of the open port was measured to cost (0: not yet measured);
    // a port slower than a bit delay per read gets its delays from the clock.
    std::uint64_t readCostNs = 0;
    bool adapterDetected = false;
    std::int32_t sendRegister = 0;
    std::int32_t receiveRegister = 0;
    std::uint16_t enableAnswer = 0;
    bool ispConnected = false;
    int partFamily = 0;
    // A parallel driver access failed: the box was shown once and the dialog named by the
    // main window ended; parallel accesses do nothing until a command runs in a dialog
    // that is still open.
    bool driverFault = false;
    // The open serial port failed (device unplugged) and was closed; cleared when a port
    // opens again or is closed on purpose.
    bool portLost = false;
    // When the host's keep-alive was last reached, on the link's clock.
    std::uint64_t keepAliveNs = 0;
    // Why the lines stopped working (portLost or driverFault): the first failure, kept.
    ui::SystemError lineFault;
};

inline constexpr std::uint32_t modemCtsOn = 0x10;
inline constexpr std::uint32_t modemDsrOn = 0x20;

}  // namespace adapter
