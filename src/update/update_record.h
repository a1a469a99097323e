// One record of an update file: "AAAA:xxDD", a flash byte address in four hexadecimal
// digits, a separator, two unused characters and the data byte in two digits.
#pragma once

#include <cstdint>
#include <string_view>

namespace update {

inline constexpr int flashPageBytes = 64;
// A page number travels to the bootloader as one byte, so addresses end below 0x4000.
inline constexpr std::uint32_t flashAddressLimit = 256 * flashPageBytes;

struct UpdateRecord {
    std::uint32_t address = 0;
    int page = 0;
    int offset = 0;
    std::uint8_t data = 0;
};

enum class RecordError {
    None = 0,
    Separator = 5,  // no ":" at position 4
    Character = 6,  // a character outside "0" … "F" (0x30 … 0x46) in positions 0 … 8
};

// The line counts only up to its first zero byte, as a C string would.
RecordError parseUpdateRecord(std::string_view line, UpdateRecord& record);

}  // namespace update
