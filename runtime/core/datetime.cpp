// Date-time arithmetic on the proleptic Gregorian calendar.
#include "runtime/core/datetime.h"

#include <cmath>

namespace runtime {
namespace {

// Days from 1 March of year 0 to a civil date, and back (Howard Hinnant's algorithms).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;  // relative to 1970-01-01
}

void CivilFromDays(int64_t z, int* year, int* month, int* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2));
}

const int64_t kEpochFrom1970 = DaysFromCivil(1899, 12, 30);

}  // namespace

double ClampDateTime(double days) {
  if (std::isnan(days) || days < kFirstDateTime) return kFirstDateTime;
  if (days > kLastDateTime) return kLastDateTime;
  return days;
}

DateTimeParts SplitDateTime(double days) {
  days = ClampDateTime(days);
  double whole = std::trunc(days);
  int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
  if (seconds >= 86400) {  // rounding reached the next midnight: the next calendar day
    seconds -= 86400;
    whole += 1;
  }
  DateTimeParts parts;
  const int64_t day = static_cast<int64_t>(whole);
  CivilFromDays(day + kEpochFrom1970, &parts.year, &parts.month, &parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  // Day 0 was a Saturday (7).
  parts.weekday = static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
  return parts;
}

double ComposeDateTime(const DateTimeParts& parts) {
  const double day = static_cast<double>(DaysFromCivil(parts.year, parts.month, parts.day) - kEpochFrom1970);
  const double time = (parts.hour * 3600.0 + parts.minute * 60.0 + parts.second) / 86400.0;
  return day < 0 ? day - time : day + time;
}

std::string FormatDateTime(double days) {
  const DateTimeParts p = SplitDateTime(days);
  std::string text =
      std::to_string(p.year) + "年" + std::to_string(p.month) + "月" + std::to_string(p.day) + "日";
  if (p.second != 0) {
    text += std::to_string(p.hour) + "时" + std::to_string(p.minute) + "分" + std::to_string(p.second) + "秒";
  } else if (p.minute != 0) {
    text += std::to_string(p.hour) + "时" + std::to_string(p.minute) + "分";
  } else if (p.hour != 0) {
    text += std::to_string(p.hour) + "时";
  }
  return text;
}

}  // namespace runtime
