// The processor's serial programming interface: 4-byte instructions clocked in while the
// controller is held in reset, the Programming Enable handshake, the signature read-out,
// and the connection procedure the two menu commands start with.
#pragma once

#include <cstdint>
#include <string_view>

#include "adapter/link_context.h"
#include "isp/isp.h"

namespace isp {

// Programming Enable: the processor echoes the second byte while the third comes in.
inline constexpr std::uint8_t programmingEnable = 0xAC;
inline constexpr std::uint8_t programmingEnableEcho = 0x53;
inline constexpr std::uint8_t readSignatureByte = 0x30;
inline constexpr std::uint8_t readCalibrationByte = 0x38;
inline constexpr std::uint8_t readLockOrFuseHigh = 0x58;
inline constexpr std::uint8_t readFuseLow = 0x50;
inline constexpr std::uint8_t fuseHighSelect = 0x08;
inline constexpr std::uint8_t calibrationAddress = 3;

// The part families this controller is built with; what a locked or an erased processor
// reads instead.
inline constexpr int firstAcceptedFamily = 0x90;
inline constexpr int lastAcceptedFamily = 0x94;
inline constexpr int lockedFamily = 0x01;
inline constexpr int erasedFamily = 0xFF;

inline constexpr int resyncAttempts = 35;
// Each side of the extra CLOCK pulse that shifts the instruction framing by one bit.
inline constexpr std::uint32_t resyncPulseMs = 2;

// ispConnect's result; the numbers are the procedure's own 0, 1 and 2.
enum class [[nodiscard]] IspConnection{
    Connected = 0,  // in programming mode
    Failed = 1,     // reason in messageText
    Locked = 2,     // in programming mode, but the processor is locked
};

// Two word exchanges; the answer to b3 in the high byte, to b4 in the low byte.
std::uint16_t ispCommand(adapter::LinkContext& ctx, std::uint8_t b1, std::uint8_t b2,
                         std::uint8_t b3, std::uint8_t b4);
// Leaves the answer in enableAnswer; returns its high byte, the echo.
int ispProgrammingEnable(adapter::LinkContext& ctx);
// Programming Enable again with one extra CLOCK pulse after each miss, until the
// processor echoes or the attempts run out. Sends nothing when the last one echoed.
int ispResync(adapter::LinkContext& ctx);
// Reads the three signature bytes into deviceInfoText; returns the part family.
int ispReadSignature(IspContext& ctx);
IspConnection ispConnect(IspContext& ctx);

// Copies text into activityText, cut so that it always fits with its terminating zero.
void setActivityText(IspState& state, std::string_view text);
// Shows activityText up to its first control character, followed by 80 blanks, in the
// status field, and repaints at once.
void showActivity(IspContext& ctx);

}  // namespace isp
