// delayMs on the monotonic clock: how late it returns (median and worst) and how much of
// a core a long wait takes. Targets: median overshoot below 0.5 ms, under 5 % CPU for a
// 500 ms wait.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "adapter/adapter.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void overshoot(adapter::MonotonicClock& clock, std::uint32_t ms, int samples) {
    std::vector<double> lateMs;
    for (int i = 0; i < samples; ++i) {
        auto start = std::chrono::steady_clock::now();
        adapter::delayMs(clock, ms);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        lateMs.push_back(took.count() - ms);
    }
    std::sort(lateMs.begin(), lateMs.end());
    std::printf("delayMs(%4u)  %3d runs  overshoot median %.3f ms  min %.3f  max %.3f  %s\n", ms,
                samples, lateMs[lateMs.size() / 2], lateMs.front(), lateMs.back(),
                lateMs.front() < 0 ? "EARLY!" : "never early");
}

}  // namespace

int main() {
    adapter::MonotonicClock clock;
    overshoot(clock, 1, 200);
    overshoot(clock, 5, 100);
    overshoot(clock, 20, 30);
    overshoot(clock, 100, 5);

    const double cpuBefore = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    adapter::delayMs(clock, 500);
    std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double share = (cpuSeconds() - cpuBefore) / wall.count() * 100.0;
    std::printf("delayMs(500)  CPU share %.2f %% of one core (target < 5 %%)\n", share);
    return 0;
}
