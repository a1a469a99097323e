// Builds update files from the format's definition, for tests, fuzz seeds and benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// "AAAA:00DD" for a flash byte.
std::string recordText(std::uint32_t address, std::uint8_t data);

// One record text per line, each followed by lineEnd.
std::string plainUpdateFile(const std::vector<std::string>& lines, std::string_view lineEnd = "\n");

// The scrambled form of the record texts (9 characters each; characters 0 … 3 and 5 … 8
// are carried, character 4 is the ":" the reader puts back). endPair appends a pair whose
// second word is 0xFFFFFFFF.
std::string scrambledUpdateFile(const std::vector<std::string>& recordTexts,
                                std::uint32_t seedWord = 0x1234ABCD, bool endPair = false);

// The little-endian word at offset; the byte order of the scrambled form.
std::uint32_t wordIn(const std::string& bytes, std::size_t offset);
void setWordIn(std::string& bytes, std::size_t offset, std::uint32_t word);

// Records for count consecutive flash bytes from address, data from a simple pattern.
std::vector<std::string> consecutiveRecords(std::uint32_t address, std::size_t count);

}  // namespace testing_support
