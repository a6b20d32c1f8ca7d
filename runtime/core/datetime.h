// Date-times: days since 30 December 1899 as a double, the fraction being the time of day.
// Before a date-time is split or formatted it is clamped to the years 100 to 9999.
#pragma once

#include <cstdint>
#include <string>

namespace runtime {

inline constexpr double kFirstDateTime = -657434.0;  // 1 January 100
inline constexpr double kLastDateTime = 2958465.0;   // 31 December 9999

double ClampDateTime(double days);

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int weekday = 7;  // 1 Sunday … 7 Saturday
};

// The parts of a (clamped) date-time, the time rounded to the nearest second. For a negative
// date-time the fraction still counts forward from midnight of its day, so -1.25 is
// 29 December 1899, 06:00.
DateTimeParts SplitDateTime(double days);
// The date-time of the parts (no clamping; the date must be valid).
double ComposeDateTime(const DateTimeParts& parts);
// "%d年%d月%d日", then "%d时%d分%d秒", "%d时%d分" or "%d时" down to the last non-zero part of
// the time; nothing after the date at midnight.
std::string FormatDateTime(double days);

}  // namespace runtime
