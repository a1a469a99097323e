#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <chrono>

#include "adapter/timer_resolution.h"

namespace adapter {

// The monotonic clock is std::chrono::steady_clock, on QueryPerformanceCounter here.
// Checked at compile time only: odr-using is_steady does not link in a -O0 build of this
// tool chain.
static_assert(std::chrono::steady_clock::is_steady);

namespace {

constexpr UINT tickMs = 1;

}  // namespace

FineTimerResolution::FineTimerResolution() : m_active(timeBeginPeriod(tickMs) == TIMERR_NOERROR) {}

FineTimerResolution::~FineTimerResolution() {
    if (m_active) {
        timeEndPeriod(tickMs);
    }
}

}  // namespace adapter
