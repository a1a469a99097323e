// The firmware's 256-byte setup memory, with the image of a set-up controller that the
// demo and the simulated program show.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::size_t setupMemorySize = 256;
using SetupBytes = std::array<std::uint8_t, setupMemorySize>;

// A family-1 controller, firmware V 10.11, set up with the transmitter.
SetupBytes defaultSetupImage();

// Both return an empty string on success, else the reason. A file of any size but 256
// bytes is refused and leaves the memory as it was.
std::string loadSetupFile(const std::string& path, SetupBytes& memory);
std::string saveSetupFile(const std::string& path, const SetupBytes& memory);
// Writes bytes as the whole file at path; empty on success, else the reason.
std::string saveFile(const std::string& path, std::string_view bytes);

}  // namespace sim
