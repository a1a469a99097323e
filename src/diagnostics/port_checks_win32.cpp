// The port checks on Windows: the COM ports the system lists and, for a port named, whether
// it opens. Groups, udev and ModemManager, the Linux checks, have no counterpart here.
#include "adapter/com_ports_win32.h"
#include "diagnostics/port_checks.h"

namespace diagnostics {

std::vector<Finding> runChecks(const CheckOptions& options) {
    std::vector<Finding> checks;
    const std::vector<adapter::win32::ComPort> ports = adapter::win32::listComPorts();
    if (ports.empty()) {
        checks.push_back({"", "serial ports", Status::Warning, "the system lists no COM port",
                          "plug the converter in; the Device Manager shows its COM number"});
    }
    for (const adapter::win32::ComPort& port : ports) {
        checks.push_back({port.name, "driver", Status::Info, port.device, ""});
    }
    if (options.port.empty()) {
        return checks;
    }
    if (options.serialPorts == nullptr) {
        checks.push_back({options.port, "open", Status::Skipped, "no serial back-end", ""});
        return checks;
    }
    adapter::SerialOpenResult result = adapter::SerialOpenResult::CannotOpen;
    ui::SystemError error;
    if (options.serialPorts->open(options.port, result, error) != nullptr) {
        checks.push_back({options.port, "open", Status::Ok, "opens at 9600 8N1", ""});
    } else {
        checks.push_back({options.port, "open", Status::Failed, error.describe(),
                          "close the program that holds the port, or check its COM number"});
    }
    return checks;
}

}  // namespace diagnostics
