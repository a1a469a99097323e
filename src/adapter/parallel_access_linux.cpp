#include "adapter/parallel_access.h"
#include "adapter/port_io_direct.h"
#include "adapter/port_io_ppdev.h"

namespace adapter {

namespace {

// The base the program starts with; the right to use it stands for the others.
constexpr std::uint16_t defaultBase = 0x378;

}  // namespace

ParallelAccess chooseParallelAccess() {
    ParallelAccess access;
    auto ppdev = std::make_unique<PpdevPortIo>();
    if (ppdev->anyPortUsable()) {
        access.portIo = std::move(ppdev);
        access.portDriverReady = true;
    } else if (DirectPortIo::permitted(defaultBase)) {
        access.portIo = std::make_unique<DirectPortIo>();
        access.directPortIo = true;
    } else {
        access.portIo = std::make_unique<NoPortIo>();
    }
    return access;
}

}  // namespace adapter
