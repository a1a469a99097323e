// Builds update files from the format's definition, for tests, fuzz seeds and benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// "AAAA:00DD" for a flash byte; consecutive records have the data byte i * 37 + 11.
std::string recordText(std::uint32_t address, std::uint8_t data);
std::vector<std::string> consecutiveRecords(std::uint32_t address, std::size_t count);
std::string plainUpdateFile(const std::vector<std::string>& lines, std::string_view lineEnd = "\n");
// Carries characters 0-3 and 5-8 of each text; endPair appends a pair ending in 0xFFFFFFFF.
std::string scrambledUpdateFile(const std::vector<std::string>& recordTexts,
                                std::uint32_t seedWord = 0x1234ABCD, bool endPair = false);
// The little-endian words the scrambled form stores.
std::uint32_t wordIn(const std::string& bytes, std::size_t offset);
void setWordIn(std::string& bytes, std::size_t offset, std::uint32_t word);

}  // namespace testing_support
