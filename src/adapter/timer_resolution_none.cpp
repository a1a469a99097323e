#include "adapter/timer_resolution.h"

namespace adapter {

// Other systems' sleeps already end within their timer's much finer resolution.
FineTimerResolution::FineTimerResolution() = default;
FineTimerResolution::~FineTimerResolution() = default;

}  // namespace adapter
