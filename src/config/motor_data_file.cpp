#include "config/motor_data_file.h"

#include "resources/texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "config/config_file.h"

namespace config {

namespace {

constexpr int defaultPoleCount = 2;
constexpr float defaultGearRatio = 1.0f;
constexpr std::string_view motorSeparator{"\0\0", 2};

// What a line-oriented read of the field delivers: up to and including a line feed, and
// to C string functions only up to the first zero byte.
std::string_view lineOf(std::string_view field) {
    const std::size_t lineFeed = field.find('\n');
    if (lineFeed != std::string_view::npos) {
        field = field.substr(0, lineFeed + 1);
    }
    return field.substr(0, field.find('\0'));
}

// Leading white space, then at most numberWidth characters for the number itself.
std::string_view numberText(std::string_view line) {
    const std::size_t start = std::min(line.find_first_not_of(" \t\n\v\f\r"), line.size());
    return line.substr(start, numberWidth);
}

// An optional "+" is accepted as a number parse would; from_chars takes only "-".
std::string_view withoutPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+' && (text.size() == 1 || text[1] != '-')) {
        text.remove_prefix(1);
    }
    return text;
}

}  // namespace

int parsePoleCountField(std::string_view field) {
    const std::string_view text = withoutPlus(numberText(lineOf(field.substr(0, poleCountLength))));
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

float parseGearRatioField(std::string_view field) {
    const std::string_view text =
        withoutPlus(numberText(lineOf(field.substr(0, gearRatioReadLength))));
    float value = 0.0f;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) {
        return 0.0f;
    }
    return value;
}

MotorData motorDataFromFields(std::string_view poleField, std::string_view ratioField) {
    MotorData data;
    data.poleCount = parsePoleCountField(poleField);
    if (data.poleCount == 0) {
        data.poleCount = defaultPoleCount;
    }
    data.gearRatio = parseGearRatioField(ratioField);
    if (data.gearRatio == 0.0f) {
        data.gearRatio = defaultGearRatio;
    }
    return data;
}

std::string formatPoleCount(int poleCount) {
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, poleCount);
    (void)error;
    std::string text(buffer, end);
    if (text.size() < poleCountLength) {
        text.insert(0, poleCountLength - text.size(), ' ');
    }
    return text;
}

std::string formatGearRatio(float gearRatio) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(gearRatio),
                      std::chars_format::fixed, 2);
    if (error != std::errc()) {
        return "1.00";
    }
    return std::string(buffer, end);
}

namespace {

bool writeMotorFields(ConfigFile& file, const MotorData& data) {
    std::string fields = formatPoleCount(data.poleCount);
    fields.append(motorSeparator);
    fields += formatGearRatio(data.gearRatio);
    // The end mark, where an older and longer text may follow.
    if (file.size() > poleCountOffset + fields.size()) {
        fields.push_back('\0');
    }
    return file.writeAt(poleCountOffset, fields);
}

}  // namespace

bool loadMotorData(const std::string& directory, MotorData& data, ui::UiHost& host,
                   const ui::Dialog* owner) {
    ConfigFile file;
    if (!file.open(directory)) {
        host.messageBox(owner, texts::ConfigOpenError, texts::ErrorBangCaption);
        return false;
    }
    data = motorDataFromFields(file.readAt(poleCountOffset, poleCountLength),
                               file.readAt(gearRatioOffset, gearRatioReadLength));
    return writeMotorFields(file, data);
}

SaveMotorDataResult saveMotorData(const std::string& directory, const MotorData& data,
                                  ui::UiHost& host, const ui::Dialog* owner) {
    if (formatPoleCount(data.poleCount).size() > poleCountLength) {
        return SaveMotorDataResult::PoleCountTooWide;
    }
    ConfigFile file;
    if (!file.open(directory)) {
        host.messageBox(owner, texts::ConfigOpenError, texts::ErrorBangCaption);
        return SaveMotorDataResult::CannotOpen;
    }
    writeMotorFields(file, data);
    return SaveMotorDataResult::Saved;
}

}  // namespace config
