// Opening a serial port for its modem-control lines. The real factory uses Qt
// SerialPort; the simulator's hands out the virtual serial adapter.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adapter/line_access.h"
#include "ui/system_error.h"

namespace adapter {

enum class SerialOpenResult {
    Ok,
    CannotOpen,           // texts::ComInitError
    CannotReadSettings,   // texts::CannotReadComSettings
    CannotWriteSettings,  // texts::CannotWriteComSettings
    CannotWriteTimeouts,  // texts::CannotWriteTimeouts
};

class SerialPortFactory {
  public:
    virtual ~SerialPortFactory() = default;
    // deviceName is comDeviceName: "COM1" … "COM8" (mapped to a system device) or a path.
    // On failure: null, result says which step failed and error why, with the device
    // path as its subject ("/dev/ttyUSB1: open failed: No such file or directory").
    [[nodiscard]] virtual std::unique_ptr<LineAccess> open(const std::string& deviceName,
                                                           SerialOpenResult& result,
                                                           ui::SystemError& error) = 0;
    // The same without the error, where only the result matters (tests, benchmarks).
    [[nodiscard]] std::unique_ptr<LineAccess> open(const std::string& deviceName,
                                                   SerialOpenResult& result) {
        ui::SystemError error;
        return open(deviceName, result, error);
    }
    // The system device that deviceName opens, for the log.
    [[nodiscard]] virtual std::string devicePath(const std::string& deviceName) const {
        return deviceName;
    }
};

}  // namespace adapter
