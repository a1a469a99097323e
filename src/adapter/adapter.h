// Line operations, waits, adapter detection and the reset and start sequences.
// Results: 0 success, 1 failure with the reason in messageText.
#pragma once

#include <cstdint>

#include "adapter/link_context.h"

namespace adapter {

// --- serial modem lines, whatever PortKind says; nothing happens while no port is open
void serialSetClock(LinkContext& ctx, bool high);       // RTS
void serialSetDataOut(LinkContext& ctx, bool high);     // DTR
void serialSetReset(LinkContext& ctx, bool high);       // break
int serialReadDataIn(LinkContext& ctx);                 // CTS into modemStatus
std::uint32_t serialReadModemStatus(LinkContext& ctx);  // CTS and DSR into modemStatus

// --- parallel port: outputImage and inputWord
void writeOutputImage(LinkContext& ctx);
void readInputWord(LinkContext& ctx);

// --- the back-end that PortKind selects
void setClock(LinkContext& ctx, bool high);
void setDataOut(LinkContext& ctx, bool high);
void setReset(LinkContext& ctx, bool high);
int readDataIn(LinkContext& ctx);

int openSerialPort(LinkContext& ctx);
void closeSerialPort(LinkContext& ctx);

// True when the lines of the selected adapter stopped working: the serial port vanished
// (until it is opened again) or a parallel driver access failed. Answers read meanwhile
// mean nothing.
bool linesFailed(const LinkContext& ctx);

// --- timing
void delayMs(Clock& clock, std::uint32_t ms);
inline void delayMs(LinkContext& ctx, std::uint32_t ms) {
    delayMs(ctx.clock, ms);
}
void bitDelay(LinkContext& ctx, int units);
void calibrateBitDelay(LinkContext& ctx);

// --- detection and sequences
int detectAdapter(LinkContext& ctx);
void lowerLines(LinkContext& ctx);

enum class ResetForm { Short, Long };
int resetController(LinkContext& ctx, ResetForm form);

enum class StartForm { Standard, Update, Release };
void startController(LinkContext& ctx, StartForm form);

}  // namespace adapter
