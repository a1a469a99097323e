// Line operations, waits, adapter detection and the reset and start sequences.
// Results: 0 success, 1 failure with the reason in messageText.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "adapter/link_context.h"
#include "adapter/parallel_lines.h"
#include "adapter/serial_lines.h"
#include "ui/system_error.h"

namespace adapter {

// The lines of the adapter that PortKind selects, for the operations of one step: the
// serial adapter on the open port, or the parallel port. The link talks to these only.
class SelectedLines {
  public:
    explicit SelectedLines(LinkContext& ctx);
    SelectedLines(const SelectedLines&) = delete;
    SelectedLines& operator=(const SelectedLines&) = delete;

    LineAccess& operator*() { return *m_selected; }
    LineAccess* operator->() { return m_selected; }

  private:
    SerialLines m_serial;
    ParallelLines m_parallel;
    LineAccess* m_selected;
};

// --- the back-end that PortKind selects
void setClock(LinkContext& ctx, bool high);
void setDataOut(LinkContext& ctx, bool high);
void setReset(LinkContext& ctx, bool high);
[[nodiscard]] int readDataIn(LinkContext& ctx);
// The link's bit exchange on the selected lines (LineAccess::exchangeBits), clocked with
// the calibrated bit delay.
[[nodiscard]] std::uint32_t exchangeBits(LinkContext& ctx, std::uint32_t bits, int count);
// A run of exchanges at once where the selected lines can (LineAccess::exchangeSequence):
// false where they cannot, and nothing was sent.
[[nodiscard]] bool exchangeSequence(LinkContext& ctx, std::span<const ExchangeStep> steps,
                                    std::vector<std::uint32_t>& samples);
// The clocking of an exchange on lines: bitDelay's length and the lines' traits.
[[nodiscard]] BitClocking bitClocking(LinkContext& ctx, const LineAccess& lines);

// Opens comDeviceName unless a port is open. A failure leaves the system's text in
// messageText and the system error as the detail of the next box and in the log.
[[nodiscard]] int openSerialPort(LinkContext& ctx);
void closeSerialPort(LinkContext& ctx);

// True when the lines of the selected adapter stopped working: the serial port vanished
// (until it is opened again) or a parallel driver access failed. Answers read meanwhile
// mean nothing.
[[nodiscard]] bool linesFailed(const LinkContext& ctx);
// True when they failed and the lines showed the user their own box about it already.
[[nodiscard]] bool linesFaultShown(const LinkContext& ctx);
// Why they stopped: the first failure, or null while they work.
[[nodiscard]] const ui::SystemError* linesFault(const LinkContext& ctx);
// A system error as the detail of the next message box and as a log line.
void reportSystemError(LinkContext& ctx, const ui::SystemError& error);

// --- timing
void delayMs(Clock& clock, std::uint32_t ms);
// The same wait, with the host's keep-alive reached during it.
void delayMs(LinkContext& ctx, std::uint32_t ms);
// The host's keep-alive, if keepAliveIntervalNs passed since it was last reached; every
// line operation and wait passes here, so a command reaches it at least every 100 ms of
// its time. Adds no line operation and no time.
void keepAlive(LinkContext& ctx);
inline constexpr std::uint64_t keepAliveIntervalNs = 50'000'000;
void bitDelay(LinkContext& ctx, int units);
// DATA-IN reads in one bitDelay unit (bitDelayCount raised to at least 1); 0 on a port
// whose single read outlasts a unit, where the unit is a wait of bitDelayUnitNs instead.
[[nodiscard]] long long bitDelayReads(LinkContext& ctx);
// How long one bitDelay unit lasts on a native port: its reads at the on-board UART's cost.
[[nodiscard]] std::uint64_t bitDelayUnitNs(LinkContext& ctx);
void calibrateBitDelay(LinkContext& ctx);

// --- detection and sequences
[[nodiscard]] int detectAdapter(LinkContext& ctx);
void lowerLines(LinkContext& ctx);

enum class ResetForm { Short, Long };
[[nodiscard]] int resetController(LinkContext& ctx, ResetForm form);

enum class StartForm { Standard, Update, Release };
void startController(LinkContext& ctx, StartForm form);

}  // namespace adapter
