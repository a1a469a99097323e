// How the settings are typed, shown and stored. The single/double precision steps are
// deliberate: the controller's stored values depend on them (1.90 typed stores 3799).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// A number typed in an edit field: at most 9 characters of the text, the first comma
// taken as a decimal point, then at most 8 characters of a float read after leading
// blanks. 0 when the text holds no number.
float parseDecimal(std::string_view text);

// An integer field as "%Nd" reads it: at most maxChars characters of the text, then
// leading blanks, then at most width characters of a signed integer (" 10" with width 2
// is 10). Nothing when there is no number; values beyond int are clamped.
inline constexpr std::size_t wholeText = std::string_view::npos;
std::optional<int> parseInteger(std::string_view text, std::size_t maxChars, std::size_t width = 3);

// Pulse times in steps of 0.0005 ms. The neutral time is stored 0.08 ms lower.
inline constexpr double neutralOffsetMs = 0.08;
float reduceNeutral(float neutralMs);
int pulseTimeToStored(float ms);
std::string storedPulseToText(int value);
std::string storedNeutralToText(int value);

// Under-voltage threshold: code = volts × 9.166667, rounded half down; the volts a pilot
// may enter.
inline constexpr double thresholdMinVolts = 5.3;
inline constexpr double thresholdMaxVolts = 10.5;
int thresholdVoltsToCode(float volts);
std::string thresholdCodeToText(int code);

// Timing byte (one bit set) and list index; index 5 is "auto".
inline constexpr int timingAutoIndex = 5;
int timingByteToIndex(int timingByte, bool fixedTiming);
int timingIndexToByte(int index);

// The RPM control's limit frequency in Hz for a stored period:
// Hz = constant / (period + offset), with the constants of the controller's clock.
inline constexpr int hzConstantAt8MHz = 174666;
inline constexpr int periodOffsetAt8MHz = 19;
inline constexpr int hzConstantAt16MHz = 326947;
inline constexpr int periodOffsetAt16MHz = 22;
int limitFrequency(int rpmPeriod, int clockMHz);

// printf-like fields: "%1.2f", "%1.1f", "%3d".
std::string formatFixed(double value, int decimals);
std::string formatInteger(int value, int width);

}  // namespace settings
