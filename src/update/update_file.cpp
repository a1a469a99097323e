#include "update/update_file.h"

#include <algorithm>

namespace update {

namespace {

constexpr std::size_t formByteOffset = 4;
constexpr std::size_t formBytes = 8;
constexpr std::size_t countedHeaderWords = 19;  // offsets 0 … 72
constexpr std::size_t decodedLineBytes = 10;

void appendWord(std::string& text, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
        text.push_back(static_cast<char>((word >> shift) & 0xFF));
    }
}

}  // namespace

std::optional<std::uint32_t> wordAt(std::string_view fileBytes, std::size_t offset) {
    if (offset > fileBytes.size() || fileBytes.size() - offset < 4) {
        return std::nullopt;
    }
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        word |= static_cast<std::uint32_t>(static_cast<unsigned char>(fileBytes[offset + i]))
                << (8 * i);
    }
    return word;
}

UpdateForm detectUpdateForm(std::string_view fileBytes) {
    if (fileBytes.size() >= formBytes && fileBytes[formByteOffset] == ':') {
        return UpdateForm::Plain;
    }
    return UpdateForm::Scrambled;
}

std::uint32_t initialRollingKey(std::uint32_t seedWord) {
    return (seedWord + seedAddend) ^ seedMask;
}

std::uint32_t nibbleSum(std::uint32_t word) {
    std::uint32_t sum = 0;
    for (; word != 0; word >>= 4) {
        sum += word & 0xF;
    }
    return sum;
}

ScrambledCheck verifyScrambledFile(std::string_view fileBytes) {
    ScrambledCheck check;
    const std::optional<std::uint32_t> seedWord = wordAt(fileBytes, seedWordOffset);
    const std::optional<std::uint32_t> checkWord = wordAt(fileBytes, checkWordOffset);
    if (!seedWord || !checkWord) {
        return check;
    }
    check.rollingKey = initialRollingKey(*seedWord);
    const std::uint32_t expected = *checkWord ^ check.rollingKey;

    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < countedHeaderWords; ++i) {
        sum += nibbleSum(*wordAt(fileBytes, 4 * i));
    }
    std::size_t offset = seedWordOffset;
    for (std::optional<std::uint32_t> word; (word = wordAt(fileBytes, offset)) && *word != endWord;
         offset += 4) {
        sum += nibbleSum(*word);
    }
    const std::size_t checkedEnd = offset;

    // Where the reader stops: the first pair whose second word is incomplete or the end word.
    std::size_t recordsEnd = scrambledHeaderBytes;
    for (std::optional<std::uint32_t> second;
         (second = wordAt(fileBytes, recordsEnd + 4)) && *second != endWord; recordsEnd += 8) {
    }
    check.passed = sum == expected && recordsEnd <= std::max(checkedEnd, scrambledHeaderBytes);
    return check;
}

std::optional<std::string_view> PlainLineReader::readUpdateLine() {
    if (m_position >= m_bytes.size()) {
        return std::nullopt;
    }
    const unsigned char first = static_cast<unsigned char>(m_bytes[m_position]);
    if (first == 0x00 || first == 0xFF) {
        m_position = m_bytes.size();
        return std::nullopt;
    }
    const std::size_t start = m_position;
    while (m_position < m_bytes.size()) {
        const char c = m_bytes[m_position];
        const std::size_t end = m_position;
        if (c == '\n' || static_cast<unsigned char>(c) == 0xFF) {
            ++m_position;
            return m_bytes.substr(start, end - start);
        }
        if (c == '\r') {
            ++m_position;
            if (m_position < m_bytes.size() && m_bytes[m_position] == '\n') {
                ++m_position;
            }
            return m_bytes.substr(start, end - start);
        }
        ++m_position;
    }
    return m_bytes.substr(start);
}

std::optional<std::string> ScrambledLineReader::readUpdateLine() {
    const std::optional<std::uint32_t> first = wordAt(m_bytes, m_position);
    const std::optional<std::uint32_t> second = wordAt(m_bytes, m_position + 4);
    if (!first || !second || *second == endWord) {
        return std::nullopt;
    }
    m_position += 8;
    std::string line;
    line.reserve(decodedLineBytes);
    appendWord(line, *first ^ m_rollingKey);
    line.push_back(':');
    appendWord(line, *second ^ (m_rollingKey + keyStep));
    line.push_back('\n');
    m_rollingKey += 2 * keyStep;
    // The line a line-oriented read delivers: up to and including the first line feed.
    return line.substr(0, line.find('\n') + 1);
}

}  // namespace update
