// Date-times: clamping, splitting, composing and the text form.
#include "runtime/core/datetime.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace runtime;

namespace {

TEST(DateTime, ClampsToTheYears100To9999) {
  EXPECT_EQ(ClampDateTime(-700000), -657434);
  EXPECT_EQ(ClampDateTime(3000000), 2958465);
  EXPECT_EQ(ClampDateTime(12.5), 12.5);
  EXPECT_EQ(ClampDateTime(std::nan("")), -657434);
  const DateTimeParts first = SplitDateTime(-1e9);
  EXPECT_EQ((std::array{first.year, first.month, first.day}), (std::array{100, 1, 1}));
  const DateTimeParts last = SplitDateTime(kLastDateTime);
  EXPECT_EQ((std::array{last.year, last.month, last.day}), (std::array{9999, 12, 31}));
}

TEST(DateTime, KnownDays) {
  struct Case {
    double days;
    int year, month, day, hour, minute, second, weekday;
  } cases[] = {
      {0.0, 1899, 12, 30, 0, 0, 0, 7},  // a Saturday
      {1.0, 1899, 12, 31, 0, 0, 0, 1},
      {2.0, 1900, 1, 1, 0, 0, 0, 2},
      {60.0, 1900, 2, 28, 0, 0, 0, 4},  // no 29 February 1900
      {61.0, 1900, 3, 1, 0, 0, 0, 5},
      {36526.0, 2000, 1, 1, 0, 0, 0, 7},
      {36585.0, 2000, 2, 29, 0, 0, 0, 3},
      {40179.75, 2010, 1, 1, 18, 0, 0, 6},
      {-1.25, 1899, 12, 29, 6, 0, 0, 6},  // the fraction counts forward in its day
      {-0.5, 1899, 12, 30, 12, 0, 0, 7},
      {2.0 + 86399.6 / 86400, 1900, 1, 2, 0, 0, 0, 3},  // rounds up to the next midnight
  };
  for (const Case& c : cases) {
    const DateTimeParts p = SplitDateTime(c.days);
    EXPECT_EQ((std::array{p.year, p.month, p.day, p.hour, p.minute, p.second, p.weekday}),
              (std::array{c.year, c.month, c.day, c.hour, c.minute, c.second, c.weekday}))
        << c.days;
  }
}

TEST(DateTime, ComposeIsTheInverseOfSplit) {
  for (double days : {0.0, 1.0, 36526.5, 45000.0 + 3723.0 / 86400, -1.25, -657434.0, 2958465.0}) {
    EXPECT_NEAR(ComposeDateTime(SplitDateTime(days)), days, 1e-9) << days;
  }
}

TEST(DateTime, TextShowsTheTimeDownToItsLastNonZeroPart) {
  EXPECT_EQ(FormatDateTime(3000000), "9999年12月31日");
  EXPECT_EQ(FormatDateTime(-700000), "100年1月1日");
  EXPECT_EQ(FormatDateTime(36526.0), "2000年1月1日");
  const double jan1 = 36526.0;
  EXPECT_EQ(FormatDateTime(jan1 + 9.0 / 24), "2000年1月1日9时");
  EXPECT_EQ(FormatDateTime(jan1 + (9 * 60 + 5) / 1440.0), "2000年1月1日9时5分");
  EXPECT_EQ(FormatDateTime(jan1 + 7.0 / 86400), "2000年1月1日0时0分7秒");
  EXPECT_EQ(FormatDateTime(jan1 + (13 * 3600 + 7) / 86400.0), "2000年1月1日13时0分7秒");
}

}  // namespace
