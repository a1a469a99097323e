// What the user sees while records flow: "Update laeuft" blinking once per second in the
// status field, and records done of the total with the seconds left.
#pragma once

#include <cstdint>

#include "adapter/link_context.h"

namespace update {

class UpdateProgress {
  public:
    UpdateProgress(adapter::LinkContext& link, int totalRecords);

    // Starts the blink and the elapsed time.
    void start();
    void recordDone();
    // Ends the host's progress display.
    void finish();

    // Seconds still needed at the rate so far; -1 before the first record.
    static int secondsLeft(std::uint32_t elapsedMs, int done, int total);

  private:
    void blink();

    adapter::LinkContext& m_link;
    int m_total;
    int m_done = 0;
    std::uint32_t m_startTick = 0;
    std::uint32_t m_lastBlinkTick = 0;
};

}  // namespace update
