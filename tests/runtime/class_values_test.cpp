// The core classes' property mapping and the value-kind conversions between application and
// classes, with hand-computed expectations.
#include <gtest/gtest.h>

#include "runtime/classes/builtin_classes.h"
#include "runtime/core/heap.h"
#include "runtime/core/values.h"
#include "runtime/forms/property_values.h"

using namespace runtime;

namespace {

PropertyValue Number(int64_t n) { return PropertyValue{.number = n}; }
PropertyValue Text(std::string_view s) { return PropertyValue{.bytes = Bytes(s.begin(), s.end())}; }
uint64_t Slot(const void* p) { return reinterpret_cast<uintptr_t>(p); }

TEST(CoreClasses, PropertyTablesHaveTheKindsTheProgramReliesOn) {
  ASSERT_EQ(WindowPropertyTable().size(), 24u);
  EXPECT_EQ(WindowPropertyTable()[kWindowTitle - 8].kind, kKindText);
  EXPECT_EQ(WindowPropertyTable()[kWindowBackgroundColour - 8].kind, kKindBackgroundColour);
  EXPECT_EQ(WindowPropertyTable()[kWindowStartPosition - 8].kind, kKindChoice);
  EXPECT_EQ(WindowPropertyTable()[kWindowDragByClient - 8].kind, kKindLogical);
  EXPECT_EQ(WindowPropertyTable()[kWindowClassName - 8].kind, kKindText);
  ASSERT_EQ(ButtonPropertyTable().size(), 6u);
  EXPECT_EQ(ButtonPropertyTable()[kButtonCaption - 8].kind, kKindText);
  EXPECT_EQ(ButtonPropertyTable()[kButtonFont - 8].kind, kKindFont);
  ASSERT_EQ(TimerPropertyTable().size(), 1u);
  EXPECT_EQ(TimerPropertyTable()[0].kind, kKindInteger);
  EXPECT_TRUE(CanRaiseEvents(kWindowClassState));
  EXPECT_TRUE(CanRaiseEvents(kButtonClassState));
  EXPECT_TRUE(CanRaiseEvents(kTimerClassState));
  EXPECT_TRUE(kTimerClassState & kClassNeverShown);
  EXPECT_FALSE(CanRaiseEvents(kClassContainer | kClassNeverShown));
}

TEST(CoreClasses, EveryWindowPropertyRoundTripsAndChoicesStayInRange) {
  WindowProperties p;
  for (int k = 0; k < 24; ++k) {
    const uint16_t kind = WindowPropertyTable()[k].kind;
    const bool bytes = kind == kKindText || kind == kKindPicture || kind == kKindIcon || kind == kKindSound ||
                       kind == kKindFileName;
    const PropertyValue value = bytes ? Text("v" + std::to_string(k)) : Number(kind == kKindLogical ? 0 : 1);
    ASSERT_TRUE(SetWindowProperty(p, k, value)) << k;
    EXPECT_EQ(GetWindowProperty(p, k), value) << k;
  }
  EXPECT_FALSE(SetWindowProperty(p, 24, Number(1)));
  EXPECT_EQ(GetWindowProperty(p, -1), PropertyValue{});
  const std::pair<int, int> ranges[] = {{kWindowBorderStyle, 6},
                                        {kWindowPicturePlacement, 3},
                                        {kWindowSoundPlaying, 2},
                                        {kWindowStartPosition, 3},
                                        {kWindowShape, 29}};
  for (auto [index, high] : ranges) {
    SetWindowProperty(p, index - 8, Number(1000));
    EXPECT_EQ(GetWindowProperty(p, index - 8).number, high) << index;
  }
  SetWindowProperty(p, kWindowBackgroundColour - 8, Number(static_cast<int32_t>(0xFF000000)));
  EXPECT_EQ(p.backgroundColour, kNoColor);
}

TEST(CoreClasses, ButtonAndTimerProperties) {
  ButtonProperties b;
  EXPECT_EQ(GetButtonProperty(b, kButtonCaption - 8), Text("按钮"));
  SetButtonProperty(b, kButtonType - 8, Number(5));
  SetButtonProperty(b, kButtonHorizontalAlign - 8, Number(-1));
  SetButtonProperty(b, kButtonVerticalAlign - 8, Number(2));
  EXPECT_EQ(b.type, 1);
  EXPECT_EQ(b.horizontalAlign, 0);
  EXPECT_EQ(b.verticalAlign, 2);
  EXPECT_FALSE(SetButtonProperty(b, 6, Number(1)));
  TimerProperties t;
  SetTimerProperty(t, 0, Number(-5));
  EXPECT_EQ(t.interval, 0) << "a negative interval counts as 0";
  SetTimerProperty(t, 0, Number(1200));
  EXPECT_EQ(GetTimerProperty(t, 0), Number(1200));
  EXPECT_FALSE(SetTimerProperty(t, 1, Number(1)));
}

TEST(PropertyValues, TheApplicationsValueTakesThePropertysKind) {
  EXPECT_EQ(ValueForClass(kKindLogical, 7, 96), Number(1));
  EXPECT_EQ(ValueForClass(kKindLogical, 0x100000000ull, 96), Number(0)) << "only the low word counts";
  EXPECT_EQ(ValueForClass(kKindChoice, 0xFFFFFFFDu, 96), Number(0));
  EXPECT_EQ(ValueForClass(kKindChoice, 4, 96), Number(4));
  EXPECT_EQ(ValueForClass(kKindInteger, 0xFFFFFFFFu, 96), Number(-1));
  EXPECT_EQ(ValueForClass(kKindColour, 0x00787878, 96), Number(0x787878));
  EXPECT_EQ(ValueForClass(kKindLong, 0x123456789ull, 96), Number(0x123456789ll));
  char* text = NewText("关闭");
  EXPECT_EQ(ValueForClass(kKindText, Slot(text), 96), Text("关闭"));
  Free(text);
  EXPECT_EQ(ValueForClass(kKindText, 0, 96), PropertyValue{}) << "the empty text";
  uint8_t* bytes = NewByteSet("abc", 3);
  EXPECT_EQ(ValueForClass(kKindPicture, Slot(bytes), 96), Text("abc"));
  Free(bytes);
}

TEST(PropertyValues, TheClasssValueBecomesNewBlocksForTheApplication) {
  EXPECT_EQ(ValueForApplication(kKindLogical, Number(1), -1, 96), 1u);
  EXPECT_EQ(ValueForApplication(kKindLogical, Number(2), -1, 96), 0u) << "logical 1 only when stored as 1";
  EXPECT_EQ(ValueForApplication(kKindInteger, Number(-2), -1, 96), 0xFFFFFFFEu);
  EXPECT_EQ(ValueForApplication(kKindDateTime, Number(-2), -1, 96), 0xFFFFFFFFFFFFFFFEull);
  auto* text =
      reinterpret_cast<char*>(static_cast<uintptr_t>(ValueForApplication(kKindText, Text("按钮"), -1, 96)));
  EXPECT_EQ(TextView(text), "按钮");
  Free(text);
  EXPECT_EQ(ValueForApplication(kKindText, PropertyValue{}, -1, 96), 0u) << "the empty text is 0";
  auto* bytes =
      reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(ValueForApplication(kKindSound, Text("xy"), -1, 96)));
  ASSERT_EQ(ByteSetLength(bytes), 2u);
  EXPECT_EQ(ByteSetView(bytes)[1], 'y');
  Free(bytes);
}

TEST(PropertyValues, FontsAsSevenFieldRecords) {
  // A LOGFONTA of height -21 at 96 pixels per inch: 21 × 72 / 96 = 15.75, 16 points.
  FontRecord record;
  record.height = -21;
  record.weight = 700;
  record.italic = 1;
  record.escapement = 900;
  record.SetFaceName("微软雅黑");
  const PropertyValue stored{.bytes = WriteFontRecord(record)};
  auto* font =
      reinterpret_cast<FontValue*>(static_cast<uintptr_t>(ValueForApplication(kKindFont, stored, -1, 96)));
  EXPECT_EQ(font->size, 16);
  EXPECT_EQ(font->bold, 1);
  EXPECT_EQ(font->italic, 1);
  EXPECT_EQ(font->underline, 0);
  EXPECT_EQ(font->angle, 90);
  EXPECT_EQ(TextView(font->faceName), "微软雅黑");
  EXPECT_EQ(ValueForApplication(kKindFont, stored, 5, 96), 16u) << "one field";
  auto* face = reinterpret_cast<char*>(static_cast<uintptr_t>(ValueForApplication(kKindFont, stored, 6, 96)));
  EXPECT_EQ(TextView(face), "微软雅黑");
  Free(face);

  // And back: 16 points at 96 pixels per inch are 21.33, height -21; weight 700 for bold.
  const std::optional<FontRecord> written = ReadFontRecord(ValueForClass(kKindFont, Slot(font), 96).bytes);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->height, -21);
  EXPECT_EQ(written->weight, 700);
  EXPECT_EQ(written->escapement, 900);
  EXPECT_EQ(written->FaceName(), "微软雅黑");
  FreeFontValue(font);
  EXPECT_TRUE(ValueForClass(kKindFont, 0, 96).bytes.empty()) << "no record: the default font";
}

}  // namespace
