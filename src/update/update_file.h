// The two forms of an update file. The plain form is text, one record per line. The
// scrambled form has a 160-byte header with a check word, then each record as a pair of
// 32-bit little-endian words that decode under a rolling key to the record text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "update/update.h"

namespace update {

inline constexpr std::uint32_t seedAddend = 0x50B44DA7;
inline constexpr std::uint32_t seedMask = 0x67B66D7D;
inline constexpr std::uint32_t keyStep = 0x296E7B08;

inline constexpr std::size_t checkWordOffset = 80;
inline constexpr std::size_t seedWordOffset = 88;
inline constexpr std::size_t scrambledHeaderBytes = 160;
inline constexpr std::uint32_t endWord = 0xFFFFFFFF;

// The byte at offset 4 is the first record's ":" in the plain form; a file too short to
// have one counts as scrambled.
UpdateForm detectUpdateForm(std::string_view fileBytes);

std::uint32_t initialRollingKey(std::uint32_t seedWord);
// The sum of the eight 4-bit groups of word.
std::uint32_t nibbleSum(std::uint32_t word);

struct ScrambledCheck {
    bool passed = false;
    std::uint32_t rollingKey = 0;  // the initial key, for the reader
};

// The nibble sum of the counted words against the check word. The sum ends at the first
// word 0xFFFFFFFF from offset 88 on; a record the reader would still return beyond that
// point is covered by no check, so such a file fails too.
ScrambledCheck verifyScrambledFile(std::string_view fileBytes);

// Plain form: a line ends at LF, CR LF or a lone CR (not part of the line), or at a byte
// 0xFF (dropped); the file ends at its end or at a line that starts with 0x00 or 0xFF.
class PlainLineReader {
  public:
    explicit PlainLineReader(std::string_view fileBytes) : m_bytes(fileBytes) {}
    // The next line, or nullopt when there are no more records.
    std::optional<std::string_view> readUpdateLine();

  private:
    std::string_view m_bytes;
    std::size_t m_position = 0;
};

// Scrambled form: record pairs from offset 160 until a second word that is incomplete or
// 0xFFFFFFFF. A decoded line ends after its first line feed.
class ScrambledLineReader {
  public:
    ScrambledLineReader(std::string_view fileBytes, std::uint32_t rollingKey)
        : m_bytes(fileBytes), m_position(scrambledHeaderBytes), m_rollingKey(rollingKey) {}
    std::optional<std::string> readUpdateLine();

  private:
    std::string_view m_bytes;
    std::size_t m_position;
    std::uint32_t m_rollingKey;
};

// The little-endian word at offset, if the file holds all four of its bytes.
std::optional<std::uint32_t> wordAt(std::string_view fileBytes, std::size_t offset);

}  // namespace update
