// Number, bit, byte-set and time commands through the command table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/services/command_table.h"
#include "app/services/services.h"
#include "fake_service_system.h"
#include "runtime/core/datetime.h"
#include "support/recording_platform.h"

using namespace services;
using runtime::TypedValue;

namespace {

std::vector<uint8_t> Bytes(const OwnedBytes& byteSet) {
  const auto view = runtime::ByteSetView(byteSet.get());
  return {view.begin(), view.end()};
}

TEST(BitCommands, ShiftsMaskTheCountAndKeepTheSign) {
  EXPECT_EQ(static_cast<uint32_t>(ShiftRight(static_cast<int32_t>(0x80000000u), 16)), 0xFFFF8000u);
  EXPECT_EQ(ShiftRight(-8, 1), -4);
  EXPECT_EQ(ShiftRight(16, 36), 1);
  EXPECT_EQ(ShiftLeft(1, 33), 2);
  EXPECT_EQ(static_cast<uint32_t>(ShiftLeft(0x12345678, 16)), 0x56780000u);
  EXPECT_EQ(BitOr({1, 2, 4}), 7);
  EXPECT_EQ(BitOr({5}), 5);
  EXPECT_EQ(BitAnd({7, 14, 6}), 6);
  EXPECT_EQ(BitNot(0), -1);
  // Arguments of other numeric types are converted first.
  EXPECT_EQ(CallCore(kBitOr, {TypedValue::Byte(1), TypedValue::Double(2.9)}).AsInt32(), 3);
}

TEST(NumberCommands, MakeRgbAndAbsolute) {
  EXPECT_EQ(MakeRgb(120, 120, 120), 0x787878);
  EXPECT_EQ(MakeRgb(1, 2, 3), 0x030201);
  // Green is masked to 8 bits; red and blue are not.
  EXPECT_EQ(MakeRgb(300, 0x1FF, 1), 65536 + 0xFF00 + 300);
  EXPECT_EQ(Absolute(-2.5), 2.5);
  EXPECT_EQ(CallCore(kAbsolute, {TypedValue::Int(-3)}).AsDouble(), 3.0);
}

TEST(ByteCommands, NewByteSetAndLength) {
  const OwnedBytes zeros = NewByteSet(3);
  EXPECT_EQ(Bytes(zeros), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(ByteSetLength(zeros.get()), 3);
  EXPECT_EQ(NewByteSet(0), nullptr);
  EXPECT_EQ(NewByteSet(-1), nullptr);
  EXPECT_EQ(ByteSetLength(nullptr), 0);
}

TEST(ByteCommands, CopyBytesOut) {
  uint8_t out[8];
  auto reset = [&] { std::memset(out, 0xEE, sizeof out); };
  reset();
  CopyBytesOut(TypedValue::Text("abc"), out);
  EXPECT_EQ(std::memcmp(out, "abc\0\xEE", 5), 0) << "a text with its terminating 0";
  reset();
  CopyBytesOut(TypedValue::Text("abc"), out, 2);
  EXPECT_EQ(std::memcmp(out, "ab\xEE", 3), 0);
  reset();
  CopyBytesOut(TypedValue::Text("abc"), out, 10);  // above the length: the whole value
  EXPECT_EQ(std::memcmp(out, "abc\0\xEE", 5), 0);
  reset();
  CopyBytesOut(TypedValue::Text("abc"), out, -1);
  EXPECT_EQ(std::memcmp(out, "abc\0\xEE", 5), 0);
  reset();
  CopyBytesOut(TypedValue::Text(nullptr), out);
  EXPECT_EQ(std::memcmp(out, "\0\xEE", 2), 0);
  reset();
  CopyBytesOut(TypedValue::Int(0x01020304), out);
  EXPECT_EQ(std::memcmp(out, "\x04\x03\x02\x01\xEE", 5), 0);
  reset();
  CopyBytesOut(TypedValue::Double(1.0), out);
  EXPECT_EQ(std::memcmp(out, "\0\0\0\0\0\0\xF0\x3F", 8), 0);
  reset();
  const OwnedBytes byteSet(runtime::NewByteSet("xyz", 3));
  CopyBytesOut(TypedValue::Bytes(byteSet.get()), out);
  EXPECT_EQ(std::memcmp(out, "xyz\xEE", 4), 0);

  const int32_t sizes[] = {2};
  void* byteArray = runtime::NewArray(runtime::kTypeByte, sizes);
  static_cast<uint8_t*>(runtime::ArrayElements(byteArray))[0] = 9;
  static_cast<uint8_t*>(runtime::ArrayElements(byteArray))[1] = 8;
  reset();
  CopyBytesOut(TypedValue::Pointer(byteArray, runtime::kTypeByte | runtime::kArrayFlag), out);
  EXPECT_EQ(std::memcmp(out, "\x09\x08\xEE", 3), 0);
  runtime::FreeArray(byteArray, runtime::kTypeByte);

  void* intArray = runtime::NewArray(runtime::kTypeInt, sizes);
  reset();
  CopyBytesOut(TypedValue::Pointer(intArray, runtime::kTypeInt | runtime::kArrayFlag), out);
  EXPECT_EQ(out[0], 0xEE) << "arrays other than byte arrays copy nothing";
  runtime::FreeArray(intArray, runtime::kTypeInt);
}

TEST(ByteCommands, ToByteSetAndBytesFromAddress) {
  EXPECT_EQ(Bytes(ToByteSet(TypedValue::Text("ab"))), (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_EQ(Bytes(ToByteSet(TypedValue::Int(0x0A0B0C0D))), (std::vector<uint8_t>{0x0D, 0x0C, 0x0B, 0x0A}));
  EXPECT_EQ(Bytes(ToByteSet(TypedValue::Short(-2))), (std::vector<uint8_t>{0xFE, 0xFF}));
  EXPECT_EQ(ToByteSet(TypedValue::Text(nullptr)), nullptr);

  const int32_t sizes[] = {2};
  void* doubles = runtime::NewArray(runtime::kTypeDouble, sizes);
  static_cast<double*>(runtime::ArrayElements(doubles))[1] = 2.0;
  EXPECT_EQ(Bytes(ToByteSet(TypedValue::Pointer(doubles, runtime::kTypeDouble | runtime::kArrayFlag))),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}));
  runtime::FreeArray(doubles, runtime::kTypeDouble);
  void* texts = runtime::NewArray(runtime::kTypeText, sizes);
  EXPECT_EQ(ToByteSet(TypedValue::Pointer(texts, runtime::kTypeText | runtime::kArrayFlag)), nullptr);
  runtime::FreeArray(texts, runtime::kTypeText);

  const char source[] = "hello";
  EXPECT_EQ(Bytes(BytesFromAddress(source + 1, 3)), (std::vector<uint8_t>{'e', 'l', 'l'}));
  EXPECT_EQ(BytesFromAddress(source, 0), nullptr);
  EXPECT_EQ(BytesFromAddress(nullptr, 3), nullptr);
}

double At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  runtime::DateTimeParts parts;
  parts.year = year, parts.month = month, parts.day = day;
  parts.hour = hour, parts.minute = minute, parts.second = second;
  return runtime::ComposeDateTime(parts);
}

TEST(TimeInterval, CalendarUnits) {
  EXPECT_EQ(TimeInterval(At(2023, 1, 1), At(2022, 12, 31), 1), 1);
  EXPECT_EQ(TimeInterval(At(2022, 12, 31), At(2023, 1, 1), 1), -1);
  EXPECT_EQ(TimeInterval(At(2023, 4, 1), At(2023, 3, 31), 2), 1);
  EXPECT_EQ(TimeInterval(At(2023, 1, 15), At(2022, 12, 15), 2), 1);
  EXPECT_EQ(TimeInterval(At(2023, 3, 1), At(2022, 12, 31), 3), 3);
  EXPECT_EQ(TimeInterval(At(2023, 3, 15, 18), At(2023, 3, 14, 6), 5), 1.5);
  // The unit code is clamped to 1 … 8.
  EXPECT_EQ(TimeInterval(At(2023, 1, 1), At(2022, 12, 31), 0), 1);
  EXPECT_EQ(TimeInterval(At(2023, 1, 1), At(2022, 12, 31), 12), 86400);
  // Date-times beyond year 9999 are the last day of it.
  EXPECT_EQ(TimeInterval(3000000.0, runtime::kLastDateTime, 5), 0);
}

TEST(TimeInterval, WeeksCountTheWeekBoundariesCrossed) {
  // 18 March 2023 was a Saturday, the 19th a Sunday.
  EXPECT_EQ(TimeInterval(At(2023, 3, 19), At(2023, 3, 18), 4), 1);
  EXPECT_EQ(TimeInterval(At(2023, 3, 18), At(2023, 3, 19), 4), -1);
  EXPECT_EQ(TimeInterval(At(2023, 3, 25), At(2023, 3, 19), 4), 0);
  EXPECT_EQ(TimeInterval(At(2023, 3, 26), At(2023, 3, 19), 4), 1);
  EXPECT_EQ(TimeInterval(At(2023, 4, 2), At(2023, 3, 18), 4), 3);
}

TEST(TimeInterval, HoursMinutesAndSecondsTruncateAfterTheCorrection) {
  const double t = At(2023, 3, 15, 12);
  // Two seconds apart is 2 although the day fraction of 2 s is not an exact double.
  EXPECT_EQ(TimeInterval(t + 2.0 / 86400, t, 8), 2);
  EXPECT_EQ(TimeInterval(At(2023, 3, 15, 12, 0, 2), t, 8), 2);
  EXPECT_EQ(TimeInterval(t + 1.99999 / 86400, t, 8), 1);
  // The correction is 5.787e-6 of the unit: 1.999999 s lies within it of 2 s.
  EXPECT_EQ(TimeInterval(t + 1.999999 / 86400, t, 8), 2);
  EXPECT_EQ(TimeInterval(t, t + 2.0 / 86400, 8), -2) << "counted backwards";
  EXPECT_EQ(TimeInterval(t - 1.99999 / 86400, t, 8), -1);
  EXPECT_EQ(TimeInterval(At(2023, 3, 15, 15), t, 6), 3);
  EXPECT_EQ(TimeInterval(At(2023, 3, 15, 12, 59, 59), t, 7), 59);
  EXPECT_EQ(TimeInterval(At(2023, 3, 16, 12), t, 7), 1440);
}

TEST(CurrentTime, IsTheSystemsLocalTime) {
  testing_support::FakeServiceSystem system;
  system.now.year = 2023, system.now.month = 3, system.now.day = 15, system.now.hour = 12;
  EXPECT_EQ(CurrentTime(), 45000.5);
  EXPECT_EQ(CallCore(kCurrentTime, {}).type, runtime::kTypeDateTime);
}

}  // namespace
