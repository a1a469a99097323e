#include "adapter/parallel_access.h"

namespace adapter {

// No parallel port access on this system.
ParallelAccess chooseParallelAccess() {
    ParallelAccess access;
    access.portIo = std::make_unique<NoPortIo>();
    return access;
}

}  // namespace adapter
