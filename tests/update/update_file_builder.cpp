#include "update/update_file_builder.h"

#include <cstdio>

namespace testing_support {

namespace {

constexpr std::uint32_t seedAddend = 0x50B44DA7;
constexpr std::uint32_t seedMask = 0x67B66D7D;
constexpr std::uint32_t keyStep = 0x296E7B08;
constexpr std::size_t headerWords = 40;
constexpr std::size_t checkWordIndex = 20;  // offset 80
constexpr std::size_t seedWordIndex = 22;   // offset 88

std::uint32_t sumOfNibbles(std::uint32_t word) {
    std::uint32_t sum = 0;
    for (; word != 0; word >>= 4) {
        sum += word & 0xF;
    }
    return sum;
}

}  // namespace

std::string recordText(std::uint32_t address, std::uint8_t data) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:00%02X", static_cast<unsigned>(address & 0xFFFF),
                  static_cast<unsigned>(data));
    return text;
}

std::vector<std::string> consecutiveRecords(std::uint32_t address, std::size_t count) {
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(recordText(address + static_cast<std::uint32_t>(i),
                                     static_cast<std::uint8_t>((i * 37 + 11) & 0xFF)));
    }
    return records;
}

std::string plainUpdateFile(const std::vector<std::string>& lines, std::string_view lineEnd) {
    std::string file;
    for (const std::string& line : lines) {
        file += line;
        file += lineEnd;
    }
    return file;
}

std::uint32_t wordIn(const std::string& bytes, std::size_t offset) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                << (8 * i);
    }
    return word;
}

void setWordIn(std::string& bytes, std::size_t offset, std::uint32_t word) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((word >> (8 * i)) & 0xFF);
    }
}

std::string scrambledUpdateFile(const std::vector<std::string>& recordTexts, std::uint32_t seedWord,
                                bool endPair) {
    // Header words of no meaning to the reader; the byte at offset 4 must not be ":".
    std::vector<std::uint32_t> words(headerWords);
    std::uint32_t filler = 0x9E3779B9;
    for (std::uint32_t& word : words) {
        filler = filler * 1664525u + 1013904223u;
        word = filler;
    }
    words[1] = (words[1] & 0xFFFFFF00u) | 0x5A;
    words[seedWordIndex] = seedWord;

    const std::uint32_t initialKey = (seedWord + seedAddend) ^ seedMask;
    std::uint32_t key = initialKey;
    for (const std::string& text : recordTexts) {
        const std::string padded = (text + std::string(9, '\0')).substr(0, 9);
        words.push_back(wordIn(padded, 0) ^ key);
        words.push_back(wordIn(padded, 5) ^ (key + keyStep));
        key += 2 * keyStep;
    }
    if (endPair) {
        words.push_back(0);
        words.push_back(0xFFFFFFFF);
    }

    // Counted: the words at offsets 0 … 72 and from 88 on up to the first 0xFFFFFFFF.
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 19; ++i) {
        sum += sumOfNibbles(words[i]);
    }
    for (std::size_t i = seedWordIndex; i < words.size() && words[i] != 0xFFFFFFFF; ++i) {
        sum += sumOfNibbles(words[i]);
    }
    words[checkWordIndex] = sum ^ initialKey;

    std::string file(words.size() * 4, '\0');
    for (std::size_t i = 0; i < words.size(); ++i) {
        setWordIn(file, 4 * i, words[i]);
    }
    return file;
}

}  // namespace testing_support
