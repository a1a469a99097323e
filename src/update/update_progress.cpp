#include "update/update_progress.h"

#include "link/link.h"
#include "resources/main_dialog_ids.h"
#include "resources/texts.h"

namespace update {

namespace {

constexpr std::uint32_t blinkPeriodMs = 1000;
constexpr std::size_t statusReadLength = 9;
constexpr std::string_view runningWord = texts::UpdateRunning;
constexpr std::string_view blankWord = "               ";  // 15 blanks

}  // namespace

UpdateProgress::UpdateProgress(adapter::LinkContext& link, int totalRecords)
    : m_link(link), m_total(totalRecords) {}

void UpdateProgress::start() {
    m_startTick = m_link.clock.tickCount();
    m_lastBlinkTick = m_startTick;
    m_link.host.showProgress(0, m_total, -1);
}

int UpdateProgress::secondsLeft(std::uint32_t elapsedMs, int done, int total) {
    if (done <= 0 || total <= done) {
        return done >= total ? 0 : -1;
    }
    const std::uint64_t remainingMs = static_cast<std::uint64_t>(elapsedMs) *
                                      static_cast<std::uint64_t>(total - done) /
                                      static_cast<std::uint64_t>(done);
    return static_cast<int>((remainingMs + 999) / 1000);
}

void UpdateProgress::recordDone() {
    ++m_done;
    const std::uint32_t now = m_link.clock.tickCount();
    // Tick differences stay right across the counter's wrap.
    if (now - m_lastBlinkTick > blinkPeriodMs) {
        blink();
        m_lastBlinkTick = now;
        m_link.host.showProgress(m_done, m_total, secondsLeft(now - m_startTick, m_done, m_total));
    }
}

void UpdateProgress::finish() {
    m_link.host.showProgress(m_total, m_total, 0);
}

void UpdateProgress::blink() {
    std::string shown;
    if (m_link.mainWindow != nullptr && m_link.mainWindow->has(ids::StatusField)) {
        shown = m_link.mainWindow->text(ids::StatusField).substr(0, statusReadLength);
    }
    clink::setStatusText(m_link, shown.starts_with("Update") ? blankWord : runningWord);
    clink::repaintMain(m_link);
}

}  // namespace update
