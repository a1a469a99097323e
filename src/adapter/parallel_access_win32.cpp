#include "adapter/parallel_access.h"
#include "adapter/port_io_win32.h"

namespace adapter {

// Qt 6 runs on the NT family only, where the port instructions are privileged: the
// driver library is the one way, ready when it loaded.
ParallelAccess chooseParallelAccess() {
    ParallelAccess access;
    auto library = std::make_unique<DriverLibraryPortIo>();
    access.portDriverReady = library->loaded();
    access.portIo = std::move(library);
    return access;
}

}  // namespace adapter
