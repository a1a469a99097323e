#include "update/update_file_builder.h"

#include <cstdio>

namespace testing_support {

static std::uint32_t sumOfNibbles(std::uint32_t word) {
    return word == 0 ? 0 : (word & 0xF) + sumOfNibbles(word >> 4);
}

std::string recordText(std::uint32_t address, std::uint8_t data) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:00%02X", unsigned(address & 0xFFFF), unsigned(data));
    return text;
}

std::vector<std::string> consecutiveRecords(std::uint32_t address, std::size_t count) {
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(recordText(address + std::uint32_t(i), std::uint8_t(i * 37 + 11)));
    }
    return records;
}

std::string plainUpdateFile(const std::vector<std::string>& lines, std::string_view lineEnd) {
    std::string file;
    for (const std::string& line : lines) {
        (file += line) += lineEnd;
    }
    return file;
}

std::uint32_t wordIn(const std::string& bytes, std::size_t offset) {
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i) {
        word = word << 8 | static_cast<unsigned char>(bytes[offset + i]);
    }
    return word;
}

void setWordIn(std::string& bytes, std::size_t offset, std::uint32_t word) {
    for (std::size_t i = 0; i < 4; ++i, word >>= 8) {
        bytes[offset + i] = static_cast<char>(word);
    }
}

std::string scrambledUpdateFile(const std::vector<std::string>& recordTexts, std::uint32_t seedWord,
                                bool endPair) {
    // 40 header words of no meaning to the reader but the seed at offset 88 and the check word
    // at 80; the byte at offset 4 must not be ":".
    std::vector<std::uint32_t> words(40);
    std::uint32_t filler = 0x9E3779B9;
    for (std::uint32_t& word : words) {
        word = filler = filler * 1664525u + 1013904223u;
    }
    words[1] = (words[1] & 0xFFFFFF00u) | 0x5A;
    words[22] = seedWord;
    const std::uint32_t initialKey = (seedWord + 0x50B44DA7) ^ 0x67B66D7D;
    constexpr std::uint32_t keyStep = 0x296E7B08;
    std::uint32_t key = initialKey;
    for (const std::string& text : recordTexts) {
        const std::string padded = (text + std::string(9, '\0')).substr(0, 9);
        words.push_back(wordIn(padded, 0) ^ key);
        words.push_back(wordIn(padded, 5) ^ (key + keyStep));
        key += 2 * keyStep;
    }
    if (endPair) {
        words.insert(words.end(), {0, 0xFFFFFFFF});
    }
    // Counted: the words at offsets 0 … 72 and from 88 on up to the first 0xFFFFFFFF.
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < words.size() && words[i] != 0xFFFFFFFF; ++i) {
        sum += (i < 19 || i >= 22) ? sumOfNibbles(words[i]) : 0;
    }
    words[20] = sum ^ initialKey;
    std::string file(words.size() * 4, '\0');
    for (std::size_t i = 0; i < words.size(); ++i) {
        setWordIn(file, 4 * i, words[i]);
    }
    return file;
}

}  // namespace testing_support
