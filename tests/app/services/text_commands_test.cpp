// Text commands through the command table: finding with GBK stepping, cutting, joining,
// and values turned into texts and numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "app/services/command_table.h"
#include "app/services/services.h"
#include "runtime/core/datetime.h"

using namespace services;
using runtime::TypedValue;

namespace {

std::string Str(const OwnedText& text) { return std::string(View(text)); }

TEST(FindText, PositionsAndStart) {
  EXPECT_EQ(FindText("9.11.9600", "."), 2);
  EXPECT_EQ(FindText("9.11.9600", ".", 3), 5);
  EXPECT_EQ(FindText("9.11.9600", ".", 0), 2);
  EXPECT_EQ(FindText("9.11.9600", ".", -4), 2);
  EXPECT_EQ(FindText("9.11.9600", ".", 6), -1);
  EXPECT_EQ(FindText("9.11.9600", ".", 100), -1);
  EXPECT_EQ(FindText("9.11.9600", "x"), -1);
  EXPECT_EQ(FindText("ab", "abc"), -1);
  EXPECT_EQ(FindText(nullptr, "a"), -1);
  // An empty sought text is found at 1 in any text but the empty one.
  EXPECT_EQ(FindText("abc", nullptr), 1);
  EXPECT_EQ(FindText("abc", "", 3), 1);
  EXPECT_EQ(FindText(nullptr, nullptr), -1);
}

TEST(FindText, NeverMatchesTheSecondByteOfADoubleByteCharacter) {
  // 0x81 0x41 is one GBK character whose second byte looks like "A".
  EXPECT_EQ(FindText("\x81\x41", "A"), -1);
  EXPECT_EQ(FindText("\x81\x41"
                     "A",
                     "A"),
            3);
  EXPECT_EQ(FindText("x\x81\x41\x81\x41", "\x81\x41"), 2);
  EXPECT_EQ(FindText("中文A", "A"), 5);
}

TEST(FindText, IgnoringCaseFoldsOnlySingleByteLetters) {
  EXPECT_EQ(FindText("abcABC", "C"), 6);
  EXPECT_EQ(FindText("abcABC", "C", std::nullopt, true), 3);
  EXPECT_EQ(FindText("xIEXPLORE.exe", "iexplore.EXE", std::nullopt, true), 2);
  EXPECT_EQ(FindText("\x81\x41"
                     "a",
                     "A", std::nullopt, true),
            3);
  // Two different characters that differ only in a letter-like second byte stay different.
  EXPECT_EQ(FindText("\x81\x61", "\x81\x41", std::nullopt, true), -1);
}

TEST(CutText, LeftMidAndSpaces) {
  EXPECT_EQ(Str(LeftText("8.0", 1)), "8");
  EXPECT_EQ(Str(LeftText("8.0", 100)), "8.0");
  EXPECT_EQ(LeftText("8.0", 0), nullptr);
  EXPECT_EQ(LeftText("8.0", -1), nullptr);
  EXPECT_EQ(LeftText(nullptr, 3), nullptr);
  EXPECT_EQ(Str(MidText("9.11.9600", 3, 2)), "11");
  EXPECT_EQ(Str(MidText("9.11.9600", 9, 5)), "0");
  EXPECT_EQ(Str(MidText("9.11.9600", 1, 1)), "9");
  EXPECT_EQ(MidText("9.11.9600", 10, 1), nullptr);
  EXPECT_EQ(MidText("9.11.9600", 0, 3), nullptr);
  EXPECT_EQ(MidText("9.11.9600", 2, 0), nullptr);
  EXPECT_EQ(Str(Spaces(3)), "   ");
  EXPECT_EQ(Spaces(0), nullptr);
  EXPECT_EQ(Spaces(-2), nullptr);
}

TEST(ConcatTexts, JoinsAndSkipsEmptyTexts) {
  EXPECT_EQ(Str(Concat({"C:\\WINDOWS\\", nullptr, "", "System32\\"})), "C:\\WINDOWS\\System32\\");
  EXPECT_EQ(Concat({nullptr, ""}), nullptr);
  EXPECT_EQ(Concat({}), nullptr);
}

TEST(ToText, EveryType) {
  EXPECT_EQ(Str(ToText(TypedValue::Text("abc"))), "abc");
  const uint8_t bytes[] = {'a', 'b', 0, 'c'};
  const OwnedBytes byteSet(runtime::NewByteSet(bytes, sizeof bytes));
  EXPECT_EQ(Str(ToText(TypedValue::Bytes(byteSet.get()))), "ab");
  EXPECT_EQ(Str(ToText(TypedValue::Byte(200))), "200");
  EXPECT_EQ(Str(ToText(TypedValue::Short(-5))), "-5");
  EXPECT_EQ(Str(ToText(TypedValue::Int(-2147483647 - 1))), "-2147483648");
  EXPECT_EQ(Str(ToText(TypedValue::Long(-9007199254740993))), "-9007199254740993");
  EXPECT_EQ(Str(ToText(TypedValue::Float(3.14159265f))), "3.14159");
  EXPECT_EQ(Str(ToText(TypedValue::Float(16777216.0f))), "1.67772e+07");
  EXPECT_EQ(Str(ToText(TypedValue::Float(0.1f))), "0.1");
  EXPECT_EQ(Str(ToText(TypedValue::Double(1.0 / 3))), "0.3333333333333");
  EXPECT_EQ(Str(ToText(TypedValue::Double(0.1 + 0.2))), "0.3");
  EXPECT_EQ(Str(ToText(TypedValue::Double(123456789.125))), "123456789.125");
  EXPECT_EQ(Str(ToText(TypedValue::Double(1e15))), "1e+15");
  EXPECT_EQ(Str(ToText(TypedValue::Double(-1e-5))), "-1e-05");
  EXPECT_EQ(Str(ToText(TypedValue::Bool(true))), "真");
  EXPECT_EQ(Str(ToText(TypedValue::Bool(false))), "假");
  EXPECT_EQ(Str(ToText(TypedValue::DateTime(45000.5))), "2023年3月15日12时");
  EXPECT_EQ(Str(ToText(TypedValue::DateTime(45000.0))), "2023年3月15日");
  EXPECT_EQ(ToText(TypedValue::Omitted()), nullptr);
  EXPECT_EQ(ToText(TypedValue::Text(nullptr)), nullptr);
}

TEST(TextToNumber, ReadsDecimalNumbersByTheCLibraryRules) {
  EXPECT_EQ(TextToNumber("9.1"), 9.1);
  EXPECT_EQ(TextToNumber("  -1.5e3xyz"), -1500.0);
  EXPECT_EQ(TextToNumber("\t\n 7"), 7.0);
  EXPECT_EQ(TextToNumber("+.5e-1"), 0.05);
  EXPECT_EQ(TextToNumber("5."), 5.0);
  EXPECT_EQ(TextToNumber("1e"), 1.0);
  EXPECT_EQ(TextToNumber("1e+"), 1.0);
  EXPECT_EQ(TextToNumber("1,5"), 1.0) << "the decimal point is '.' whatever the locale";
  EXPECT_EQ(TextToNumber("11."), 11.0);
  EXPECT_EQ(TextToNumber("."), 0.0);
  EXPECT_EQ(TextToNumber("-"), 0.0);
  EXPECT_EQ(TextToNumber("abc"), 0.0);
  EXPECT_EQ(TextToNumber(""), 0.0);
  EXPECT_EQ(TextToNumber(static_cast<const char*>(nullptr)), 0.0);
  // What the C library of the target systems does not read: hexadecimal, inf and nan.
  EXPECT_EQ(TextToNumber("0x1A"), 0.0);
  EXPECT_EQ(TextToNumber("inf"), 0.0);
  EXPECT_EQ(TextToNumber("nan"), 0.0);
  EXPECT_EQ(TextToNumber("1e400"), HUGE_VAL);
  EXPECT_EQ(TextToNumber("-1e400"), -HUGE_VAL);
  EXPECT_EQ(TextToNumber("1e-400"), 0.0);
  EXPECT_EQ(TextToNumber("0.00001e-400"), 0.0);
  EXPECT_EQ(TextToNumber("100000e-5"), 1.0);
}

TEST(TextToNumber, FullWidthFormsAreReadAsTheirAsciiCharacters) {
  // Full-width "-1.5" after an ideographic space.
  EXPECT_EQ(TextToNumber("\xA1\xA1\xA3\xAD\xA3\xB1\xA3\xAE\xA3\xB5"), -1.5);
  EXPECT_EQ(TextToNumber("１２３．５"), 123.5);
  // A full-width letter ends the number like its ASCII twin.
  EXPECT_EQ(TextToNumber("\xA3\xB2\xA3\xE5\xA3\xB2"), 200.0);  // "2e2"
  EXPECT_EQ(TextToNumber("\xA1\xAB"
                         "5"),
            0.0);  // "~5"
  // A double-byte character whose second byte is a digit is not a digit.
  EXPECT_EQ(TextToNumber("\x81\x31"), 0.0);
}

TEST(TextToNumber, OtherTypes) {
  EXPECT_EQ(TextToNumber(TypedValue::Bool(true)), 1.0);
  EXPECT_EQ(TextToNumber(TypedValue::Byte(255)), 255.0);
  EXPECT_EQ(TextToNumber(TypedValue::Short(-2)), -2.0);
  EXPECT_EQ(TextToNumber(TypedValue::Long(int64_t{1} << 40)), 1099511627776.0);
  EXPECT_EQ(TextToNumber(TypedValue::Float(0.5f)), 0.5);
  EXPECT_EQ(TextToNumber(TypedValue::Double(-0.25)), -0.25);
  EXPECT_EQ(TextToNumber(TypedValue::Pointer(reinterpret_cast<void*>(0x4000), runtime::kTypeSubroutine)),
            16384.0);
  EXPECT_EQ(TextToNumber(TypedValue::DateTime(45000.5)), 0.0);
  EXPECT_EQ(TextToNumber(TypedValue::Omitted()), 0.0);
  EXPECT_EQ(TextToFloat(TypedValue::Text("0.1")), 0.1f);
}

}  // namespace
