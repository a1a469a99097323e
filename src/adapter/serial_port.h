// Opening a serial port for its modem-control lines. The real factory uses Qt
// SerialPort; the simulator's hands out the virtual serial adapter.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adapter/line_access.h"

namespace adapter {

enum class SerialOpenResult {
    Ok,
    CannotOpen,           // "COM-Init-Error!"
    CannotReadSettings,   // "Kann COM-Port Einstellung nicht lesen."
    CannotWriteSettings,  // "Kann COM-Port Einstellung nicht schreiben."
    CannotWriteTimeouts,  // "Kann TIMEOUTS nicht schreiben."
};

class SerialPortFactory {
  public:
    virtual ~SerialPortFactory() = default;
    // deviceName is comDeviceName: "COM1" … "COM8" (mapped to a system device) or a path.
    virtual std::unique_ptr<LineAccess> open(const std::string& deviceName,
                                             SerialOpenResult& result) = 0;
};

}  // namespace adapter
