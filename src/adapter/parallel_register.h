// The parallel adapter's bits in outputImage and inputWord, and the one report of a
// failed register access. Internal to the line driver.
#pragma once

#include <cstdint>

#include "adapter/link_context.h"

namespace adapter {

inline constexpr std::int32_t dataOutBit = 0x01;  // D0
inline constexpr std::int32_t clockBit = 0x02;    // D1
inline constexpr std::int32_t resetBit = 0x08;    // D3
inline constexpr std::int32_t lineBits = dataOutBit | clockBit | resetBit;
inline constexpr std::uint16_t dataInInputBit = 0x4000;    // status register bit 6 (ACK)
inline constexpr std::uint8_t controlDirectionBit = 0x20;  // set: data pins are inputs

// Shows "Error during driver access!" once and ends the dialog named by the main window.
void reportDriverFault(LinkContext& ctx);
// True while a reported driver fault stands: parallel accesses then do nothing.
bool driverFaultStands(LinkContext& ctx);

}  // namespace adapter
