// Bringing computed speeds safely back to integers.
#pragma once

namespace settings::subdialogs {

// Truncation toward zero that stays defined for any value: out-of-range values are
// clamped to int, NaN gives 0.
int truncateToInt(double value);

}  // namespace settings::subdialogs
