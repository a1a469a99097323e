#include <chrono>
#include <thread>

#include "adapter/clock.h"

namespace adapter {

namespace {

// The scheduler may wake a sleeping thread a little late; the last stretch of a wait is
// spun so that it ends on time. 2 ms covers the wake-up delay of a loaded desktop.
constexpr std::uint64_t spinMarginNs = 2'000'000;

}  // namespace

void Clock::waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                               const std::function<void()>& serve) {
    for (;;) {
        const std::uint64_t now = nowNs();
        if (now >= deadlineNs) {
            return;
        }
        if (sliceNs == 0 || deadlineNs - now <= sliceNs) {
            waitUntilNs(deadlineNs);
            return;
        }
        waitUntilNs(now + sliceNs);
        serve();
    }
}

std::uint64_t MonotonicClock::nowNs() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

void MonotonicClock::waitUntilNs(std::uint64_t deadlineNs) {
    for (;;) {
        std::uint64_t now = nowNs();
        if (now >= deadlineNs) {
            return;
        }
        std::uint64_t remaining = deadlineNs - now;
        if (remaining > spinMarginNs) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(remaining - spinMarginNs));
        }
    }
}

}  // namespace adapter

namespace adapter {

// The slices sleep; only the wait's last stretch is spun, as in a plain wait.
void MonotonicClock::waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                                        const std::function<void()>& serve) {
    for (;;) {
        const std::uint64_t now = nowNs();
        if (now >= deadlineNs || sliceNs == 0 || deadlineNs - now <= sliceNs + spinMarginNs) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::nanoseconds(sliceNs));
        serve();
    }
    waitUntilNs(deadlineNs);
}

}  // namespace adapter
