#include "safety/calendar_time.h"

#include <cstdio>
#include <ctime>

namespace safety {
namespace {

#ifdef _WIN32
bool toLocal(std::time_t seconds, std::tm& fields) {
    return localtime_s(&fields, &seconds) == 0;
}
#else
bool toLocal(std::time_t seconds, std::tm& fields) {
    return localtime_r(&seconds, &fields) != nullptr;
}
#endif

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

}  // namespace

int digitsAt(std::string_view text, std::size_t offset, std::size_t count) {
    if (offset + count > text.size()) {
        return -1;
    }
    int value = 0;
    for (std::size_t i = offset; i < offset + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool CalendarTime::valid() const {
    return year >= 1970 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
           minute <= 59 && second >= 0 && second <= 60;
}

CalendarTime localCalendarTime(std::chrono::system_clock::time_point moment) {
    std::tm fields{};
    if (!toLocal(std::chrono::system_clock::to_time_t(moment), fields)) {
        return {};
    }
    return CalendarTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                        fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

std::string isoText(const CalendarTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::optional<CalendarTime> parseIsoText(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const CalendarTime time{digitsAt(text, 0, 4),  digitsAt(text, 5, 2),  digitsAt(text, 8, 2),
                            digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2)};
    if (!time.valid()) {
        return std::nullopt;
    }
    return time;
}

}  // namespace safety
