// Reading the numbers typed in the sub-dialogs' edit fields, and bringing computed
// speeds safely back to integers.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace settings::subdialogs {

// A decimal integer as a field delivers it: at most maxChars characters of the text, then
// leading blanks, an optional sign and at least one digit. Nothing when there is no number.
std::optional<int> readIntegerField(std::string_view text, std::size_t maxChars);
// A decimal integer of at most width characters, sign included, counted after the leading
// blanks: " 10" in a field of width 2 is 10, since the blank is what "%2d" showed there.
std::optional<int> readIntegerOfWidth(std::string_view text, std::size_t width);

// Truncation toward zero that stays defined for any value: out-of-range values are
// clamped to int, NaN gives 0.
int truncateToInt(double value);

}  // namespace settings::subdialogs
