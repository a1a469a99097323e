// Which adapter port is selected and how the parallel port is reached.
#pragma once

#include <cstdint>
#include <string>

namespace adapter {

enum class PortKind { Serial, Parallel };

struct PortSelection {
    PortKind kind = PortKind::Parallel;
    std::string portName;       // "COM1" … "COM8", "0278", "0378", "03BC" (as stored)
    std::string comDeviceName;  // what openSerialPort opens: "COM1" … "COM8" or a device path
    std::uint16_t parallelBase = 0x378;
    bool directPortIo = false;     // direct port instructions may be used
    bool portDriverReady = false;  // the driver path (ppdev / driver library) is usable
    std::string startDirectory;    // where qvsetup.cfg lives
    // Where the help document lies, when qvsetup.cfg is a private copy elsewhere.
    std::string documentDirectory;
};

}  // namespace adapter
