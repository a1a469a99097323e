// A moment as the user's clock showed it, for backup names and the update record: the user
// recognises "10:15 this morning", not a count of seconds.
#pragma once

#include <chrono>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace safety {

struct CalendarTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const CalendarTime&) const = default;
    bool valid() const;
};

// The local time of the moment (localtime_r / localtime_s).
CalendarTime localCalendarTime(std::chrono::system_clock::time_point moment);

// "2026-12-08T10:15:03", and back; nullopt for any other text or an impossible date.
std::string isoText(const CalendarTime& time);
std::optional<CalendarTime> parseIsoText(std::string_view text);

// The number in exactly count decimal digits at text[offset...]; -1 otherwise.
int digitsAt(std::string_view text, std::size_t offset, std::size_t count);

}  // namespace safety
