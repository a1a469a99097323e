// Start-up: how this system reaches the parallel port. The desktop program calls
// chooseParallelAccess() once, keeps the PortIo for the whole run and copies the two
// flags into its PortSelection (directPortIo, portDriverReady):
//
//   Linux    the ppdev driver when some /dev/parportN can be opened: portDriverReady
//            (the driver path; the kernel arbitrates the port with its other users);
//            otherwise the port instructions when the process may use them at 0x378:
//            directPortIo (the only path that also lowers the port's direction bit);
//   Windows  the driver library "DLPORTIO.dll": portDriverReady when it loaded; the
//            port instructions are never allowed there;
//   elsewhere, or when nothing is usable: neither flag, and the first parallel access
//            shows texts::DriverAccessError.
#pragma once

#include <cstdint>
#include <memory>

#include "adapter/port_io.h"

namespace adapter {

struct ParallelAccess {
    std::unique_ptr<PortIo> portIo;  // never null
    bool directPortIo = false;
    bool portDriverReady = false;
};

ParallelAccess chooseParallelAccess();

// A PortIo that reaches nothing: every access fails.
class NoPortIo final : public PortIo {
  public:
    bool writeData(std::uint16_t, std::uint8_t) override { return false; }
    bool readWord(std::uint16_t, std::uint16_t&) override { return false; }
    bool readControl(std::uint16_t, std::uint8_t&) override { return false; }
    bool writeControl(std::uint16_t, std::uint8_t) override { return false; }
};

}  // namespace adapter
