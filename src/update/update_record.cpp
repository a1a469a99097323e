#include "update/update_record.h"

namespace update {

namespace {

constexpr std::size_t recordLength = 9;
constexpr std::size_t separatorPosition = 4;
constexpr std::size_t dataPosition = 7;
constexpr char lowestAllowed = 0x30;   // "0"
constexpr char highestAllowed = 0x46;  // "F"

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// At most maxDigits hexadecimal digits from the start; ends early at any other character.
std::uint32_t hexNumber(std::string_view text, std::size_t maxDigits) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < maxDigits && i < text.size(); ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

}  // namespace

RecordError parseUpdateRecord(std::string_view line, UpdateRecord& record) {
    line = line.substr(0, line.find('\0'));
    if (line.size() <= separatorPosition || line[separatorPosition] != ':') {
        return RecordError::Separator;
    }
    if (line.size() < recordLength) {
        return RecordError::Character;
    }
    for (std::size_t i = 0; i < recordLength; ++i) {
        if (line[i] < lowestAllowed || line[i] > highestAllowed) {
            return RecordError::Character;
        }
    }
    record.address = hexNumber(line, 4);
    record.data = static_cast<std::uint8_t>(hexNumber(line.substr(dataPosition), 2));
    record.page = static_cast<int>(record.address / flashPageBytes);
    record.offset = static_cast<int>(record.address % flashPageBytes);
    return RecordError::None;
}

}  // namespace update
