// Time commands: the local time now and the interval between two date-times.
#include <algorithm>
#include <cmath>

#include "app/services/arguments.h"
#include "app/services/commands.h"
#include "app/services/system.h"
#include "runtime/core/datetime.h"

namespace services {

using runtime::TypedValue;

namespace {

constexpr double kTolerance = 1e-7;
// Added before truncating hours, minutes and seconds: their day fractions are rarely exact
// doubles, and a whole number of units must not truncate to one less.
constexpr double kIntervalCorrection = 5.787037037037037e-6;

double Weeks(double t1, double t2) {
  const double difference = t1 - t2;
  double weeks = std::trunc(difference / 7.0);
  const int weekday1 = runtime::SplitDateTime(t1).weekday;
  const int weekday2 = runtime::SplitDateTime(t2).weekday;
  // A week boundary lies between them that the whole weeks did not count.
  if (difference > kTolerance && weekday1 < weekday2) weeks += 1;
  if (difference < -kTolerance && weekday1 > weekday2) weeks -= 1;
  return weeks;
}

}  // namespace

double IntervalBetween(double t1, double t2, int32_t unit) {
  t1 = runtime::ClampDateTime(t1);
  t2 = runtime::ClampDateTime(t2);
  unit = std::clamp(unit, 1, 8);
  const runtime::DateTimeParts a = runtime::SplitDateTime(t1);
  const runtime::DateTimeParts b = runtime::SplitDateTime(t2);
  switch (unit) {
    case 1:
      return a.year - b.year;
    case 2:
      return (a.year * 4 + (a.month - 1) / 3) - (b.year * 4 + (b.month - 1) / 3);
    case 3:
      return (a.year * 12 + a.month) - (b.year * 12 + b.month);
    case 4:
      return Weeks(t1, t2);
    case 5:
      return t1 - t2;
    default: {
      const double perDay = unit == 6 ? 24.0 : unit == 7 ? 1440.0 : 86400.0;
      const double units = (t1 - t2) * perDay;
      // Away from zero: an interval counted backwards (t1 before t2) is corrected as much as
      // one counted forwards, so that exactly -2 s gives -2, not -1.
      return std::trunc(units < 0 ? units - kIntervalCorrection : units + kIntervalCorrection);
    }
  }
}

void CurrentTimeCommand(TypedValue* result, int32_t, const TypedValue*) {
  *result = TypedValue::DateTime(runtime::ComposeDateTime(CurrentServiceSystem().LocalTime()));
}

void TimeIntervalCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  SetDouble(result, IntervalBetween(args.Double(0), args.Double(1), args.Int(2)));
}

}  // namespace services
