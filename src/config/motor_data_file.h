// The motor data fields of qvsetup.cfg: from offset 256 the pole count as two
// right-aligned characters, two zero bytes, then the gear ratio with two decimals.
#pragma once

#include <string>
#include <string_view>

#include "config/motor_data.h"
#include "ui/dialog.h"
#include "ui/ui_host.h"

namespace config {

// The ratio text ends at a zero byte: the field has no fixed length and the file is never
// truncated, so a shorter text written over a longer one is followed by one zero byte
// (only where the file goes on past the text; a file that ends with the text needs none).
inline constexpr std::size_t gearRatioReadLength = 79;
inline constexpr std::size_t numberWidth = 8;  // characters taken by either number parse

// The pole count in the bytes at 256 (at most 2, ending after a line feed); 0 when they
// hold no number.
int parsePoleCountField(std::string_view field);
// The gear ratio in the bytes from 260 (at most 79, ending after a line feed, parsed up
// to 8 characters, a point as decimal separator); 0.0 when they hold no finite number.
float parseGearRatioField(std::string_view field);

// The values the fields give, with their defaults applied: 2 poles, ratio 1.0.
MotorData motorDataFromFields(std::string_view poleField, std::string_view ratioField);

// "%2d" and "%1.2f", independent of the locale.
std::string formatPoleCount(int poleCount);
std::string formatGearRatio(float gearRatio);

// Loads MotorData from qvsetup.cfg in directory and writes both fields back in normal
// form. When the file cannot be opened: box texts::ConfigOpenError (texts::ErrorBangCaption),
// data unchanged, false.
bool loadMotorData(const std::string& directory, MotorData& data, ui::UiHost& host,
                   const ui::Dialog* owner = nullptr);

enum class SaveMotorDataResult {
    Saved,
    CannotOpen,        // the box has been shown; nothing written
    PoleCountTooWide,  // "%2d" would take more than 2 characters; nothing written
};

// Writes the motor data fields in the form loadMotorData leaves them in. The caller has
// validated the values.
SaveMotorDataResult saveMotorData(const std::string& directory, const MotorData& data,
                                  ui::UiHost& host, const ui::Dialog* owner = nullptr);

}  // namespace config
