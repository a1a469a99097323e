#include "settings/conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace settings {

namespace {

// Factors as the controller's own arithmetic uses them.
constexpr double storedPerMsFirst = 5000.0;
constexpr double storedPerMsSecond = 0.4;
constexpr double msPerStored = 0.0005;
constexpr float codePerVolt = 9.166667f;
constexpr float voltsPerCodeStep = 0.018181818f;
constexpr int cellsPerCodeStep = 6;

constexpr std::size_t decimalFieldChars = 9;
constexpr std::size_t decimalWidth = 8;

std::string_view skipBlanks(std::string_view text) {
    return text.substr(std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size()));
}

// An exponent too large or too small for a float: which way it went.
float outOfRange(std::string_view number, bool negative) {
    const std::size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    if (tiny) {
        return negative ? -0.0f : 0.0f;
    }
    const float huge = std::numeric_limits<float>::infinity();
    return negative ? -huge : huge;
}

}  // namespace

float parseDecimal(std::string_view text) {
    // Locale-independent on purpose: the toolkit may switch the C locale to one that
    // reads a comma, and the field's comma is already turned into a point here.
    std::array<char, decimalFieldChars> field{};
    const std::size_t length = std::min(text.size(), field.size());
    std::copy_n(text.begin(), length, field.begin());
    for (std::size_t i = 0; i < length; ++i) {
        if (field[i] == ',') {
            field[i] = '.';
            break;
        }
    }
    std::string_view rest = skipBlanks(std::string_view(field.data(), length));
    rest = rest.substr(0, std::min(rest.size(), decimalWidth));
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        return 0.0f;
    }
    float value = 0.0f;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error == std::errc::invalid_argument) {
        return 0.0f;
    }
    if (error == std::errc::result_out_of_range) {
        return outOfRange(std::string_view(rest.data(), end - rest.data()), negative);
    }
    return negative ? -value : value;
}

std::optional<int> parseInteger(std::string_view text, std::size_t maxChars, std::size_t width) {
    std::string_view rest = skipBlanks(text.substr(0, std::min(text.size(), maxChars)));
    rest = rest.substr(0, std::min(rest.size(), width));
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() || rest.front() < '0' || rest.front() > '9') {
        return std::nullopt;
    }
    // Accumulated wide and clamped, so that a whole-text field stays defined.
    constexpr std::int64_t limit = std::numeric_limits<int>::max();
    std::int64_t value = 0;
    for (std::size_t i = 0; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        value = std::min(value * 10 + (rest[i] - '0'), limit);
    }
    return static_cast<int>(negative ? -value : value);
}

float reduceNeutral(float neutralMs) {
    return static_cast<float>(static_cast<double>(neutralMs) - neutralOffsetMs);
}

int pulseTimeToStored(float ms) {
    const double product = static_cast<double>(ms) * storedPerMsFirst * storedPerMsSecond;
    // Validated times lie far inside; the guard keeps the cast defined for any float.
    if (!(product > 0.0)) {
        return 0;
    }
    if (product >= 65535.0) {
        return 65535;
    }
    return static_cast<int>(product);
}

std::string storedPulseToText(int value) {
    return formatFixed(value * msPerStored, 2);
}

std::string storedNeutralToText(int value) {
    return formatFixed(value * msPerStored + neutralOffsetMs, 2);
}

int thresholdVoltsToCode(float volts) {
    const float product = volts * codePerVolt;
    if (!(product > 0.0f)) {
        return 0;
    }
    if (product >= 255.0f) {
        return 255;
    }
    int code = static_cast<int>(product);
    // A remainder of exactly one half stays down.
    if (product - static_cast<float>(code) > 0.5f) {
        ++code;
    }
    return code;
}

std::string thresholdCodeToText(int code) {
    const float volts = static_cast<float>(code * cellsPerCodeStep) * voltsPerCodeStep;
    return formatFixed(volts, 1);
}

int timingByteToIndex(int timingByte, bool fixedTiming) {
    if (!fixedTiming) {
        return timingAutoIndex;
    }
    for (int index = 0; index < timingAutoIndex; ++index) {
        if (timingByte == (1 << index)) {
            return index;
        }
    }
    return 1;  // an unknown byte shows as 7,5°
}

int timingIndexToByte(int index) {
    return index >= 0 && index < timingAutoIndex ? 1 << index : 0;
}

int limitFrequency(int rpmPeriod, int clockMHz) {
    return clockMHz == 8 ? hzConstantAt8MHz / (rpmPeriod + periodOffsetAt8MHz)
                         : hzConstantAt16MHz / (rpmPeriod + periodOffsetAt16MHz);
}

std::string formatFixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc{}) {
        return "";
    }
    return std::string(buffer.data(), end);
}

std::string formatInteger(int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
    }
    return digits;
}

}  // namespace settings
