// The time base of every wait: a monotonic clock in the real program, a virtual clock
// that line operations and waits advance in tests and in the simulator.
#pragma once

#include <cstdint>
#include <functional>

namespace adapter {

class Clock {
  public:
    virtual ~Clock() = default;
    // Monotonic nanoseconds since an arbitrary start.
    virtual std::uint64_t nowNs() = 0;
    // Returns once nowNs() >= deadlineNs; never earlier.
    virtual void waitUntilNs(std::uint64_t deadlineNs) = 0;
    // The millisecond tick counter; wraps at 2^32 like the system's.
    virtual std::uint32_t tickCount() { return static_cast<std::uint32_t>(nowNs() / 1000000u); }
    // Like waitUntilNs, and calls serve each time sliceNs of the wait have passed (not at
    // its end), so that a long wait does not keep the window system waiting. The default
    // waits slice by slice; a clock that records its waits records the one wait.
    virtual void waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                                    const std::function<void()>& serve);
};

// The monotonic clock: sleeps for most of a long wait and spins only for its last part.
class MonotonicClock final : public Clock {
  public:
    std::uint64_t nowNs() override;
    void waitUntilNs(std::uint64_t deadlineNs) override;
    void waitServingUntilNs(std::uint64_t deadlineNs, std::uint64_t sliceNs,
                            const std::function<void()>& serve) override;
};

// A clock that moves only when told to; waits jump to their deadline.
class VirtualClock final : public Clock {
  public:
    explicit VirtualClock(std::uint64_t startNs = 0) : m_now(startNs) {}
    std::uint64_t nowNs() override { return m_now; }
    void waitUntilNs(std::uint64_t deadlineNs) override {
        if (deadlineNs > m_now) {
            m_now = deadlineNs;
        }
    }
    void advanceNs(std::uint64_t ns) { m_now += ns; }

  private:
    std::uint64_t m_now;
};

}  // namespace adapter
