// While one of these lives, the system's timer ticks every millisecond. Windows wakes a
// sleeping thread only on its timer tick, 15.6 ms by default, so without it a 1 ms
// sleep lasts 15.6 ms and the clock's waits spin far longer than they sleep. Held for
// the length of a command, not for the whole run: a fast tick costs battery. Elsewhere
// it does nothing.
#pragma once

namespace adapter {

class FineTimerResolution {
  public:
    FineTimerResolution();
    ~FineTimerResolution();
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

    // True when the system granted the 1 ms tick.
    bool active() const { return m_active; }

  private:
    bool m_active = false;
};

}  // namespace adapter
