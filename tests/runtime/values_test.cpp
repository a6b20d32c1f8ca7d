// The value model: layouts byte for byte, texts, byte-sets, arrays, integer from value.
#include "runtime/core/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/core/heap.h"
#include "support/recording_platform.h"

using namespace runtime;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

std::vector<uint8_t> Bytes(const void* p, size_t n) {
  auto* b = static_cast<const uint8_t*>(p);
  return {b, b + n};
}

TEST(TypedValue, IsThreeWordsLowHighType) {
  TypedValue v = TypedValue::Long(0x1122334455667788LL);
  EXPECT_EQ(Bytes(&v, 12),
            (std::vector<uint8_t>{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x01, 0x04, 0x00, 0x80}));
  TypedValue d = TypedValue::Double(1.5);  // 0x3FF8000000000000
  EXPECT_EQ(d.low, 0u);
  EXPECT_EQ(d.high, 0x3FF80000u);
  EXPECT_EQ(d.type, 0x80000601u);
  EXPECT_EQ(TypedValue::Short(-2).low, 0xFFFFFFFEu);
  EXPECT_EQ(TypedValue::Bool(true).low, 1u);
  EXPECT_EQ(TypedValue::DateTime(2.25).type, kTypeDateTime);
  EXPECT_DOUBLE_EQ(TypedValue::DateTime(2.25).AsDouble(), 2.25);
  EXPECT_FLOAT_EQ(TypedValue::Float(5.1f).AsFloat(), 5.1f);
  int variable = 0;
  EXPECT_EQ(TypedValue::Pointer(&variable, kTypeInt).AsPointer<int>(), &variable);
  EXPECT_TRUE(TypedValue::Omitted().IsOmitted());
}

TEST(TypedValue, TypeCodes) {
  EXPECT_TRUE(IsNumericType(kTypeByte));
  EXPECT_TRUE(IsNumericType(kTypeDouble));
  EXPECT_FALSE(IsNumericType(kTypeBool));
  EXPECT_FALSE(IsNumericType(kTypeDateTime));
  EXPECT_TRUE(IsArrayType(kTypeText | kArrayFlag));
  EXPECT_FALSE(IsArrayType(kTypeText));
  EXPECT_EQ(ElementType(kTypeInt | kArrayFlag), kTypeInt);
}

TEST(Text, EmptyIsNullAndOtherwiseTerminated) {
  EXPECT_EQ(NewText(""), nullptr);
  EXPECT_EQ(TextView(nullptr), "");
  char* text = NewText("网络");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::strlen(text), 4u);  // two GBK characters
  EXPECT_EQ(TextView(text), "网络");
  Free(text);
  Free(nullptr);
}

TEST(ByteSet, AbcIsElevenBytes) {
  uint8_t* set = NewByteSet("abc", 3);
  EXPECT_EQ(Bytes(set, 11), (std::vector<uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'}));
  EXPECT_EQ(ByteSetLength(set), 3u);
  EXPECT_EQ(std::string(ByteSetView(set).begin(), ByteSetView(set).end()), "abc");
  Free(set);
}

TEST(ByteSet, EmptyAndMalformed) {
  EXPECT_EQ(NewByteSet(nullptr, 0), nullptr);
  EXPECT_EQ(ByteSetLength(nullptr), 0u);
  EXPECT_TRUE(ByteSetView(static_cast<const uint8_t*>(nullptr)).empty());
  uint8_t* zeros = NewByteSet(nullptr, 4);
  EXPECT_EQ(Bytes(zeros + 8, 4), (std::vector<uint8_t>{0, 0, 0, 0}));
  Free(zeros);
  // A stored negative length reads as empty rather than as a huge size.
  const uint8_t negative[12] = {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ByteSetLength(negative), 0u);
  EXPECT_TRUE(ByteSetView(negative).empty());
}

TEST(Array, LayoutAndFreeingElements) {
  const int32_t sizes[] = {2, 3};
  void* array = NewArray(kTypeInt, sizes);
  int32_t header[3];
  std::memcpy(header, array, sizeof header);
  EXPECT_EQ(header[0], 2);
  EXPECT_EQ(header[1], 2);
  EXPECT_EQ(header[2], 3);
  EXPECT_EQ(ArrayDimensions(array), 2u);
  EXPECT_EQ(ArrayElementCount(array), 6u);
  EXPECT_EQ(static_cast<uint8_t*>(ArrayElements(array)), static_cast<uint8_t*>(array) + 12);
  FreeArray(array, kTypeInt);

  // An array of texts owns its element blocks (the sanitizer sees a leak otherwise).
  const int32_t one[] = {2};
  void* texts = NewArray(kTypeText, one);
  char* elements[2] = {NewText("a"), NewText("bc")};
  std::memcpy(ArrayElements(texts), elements, sizeof elements);
  FreeArray(texts, kTypeText);
}

TEST(Array, MalformedHeadersHaveNoElements) {
  const int32_t noDimensions[] = {0};
  EXPECT_EQ(ArrayElementCount(noDimensions), 0u);
  EXPECT_EQ(ArrayElements(static_cast<const void*>(noDimensions)), nullptr);
  const int32_t negative[] = {1, -4};
  EXPECT_EQ(ArrayElementCount(negative), 0u);
  const int32_t huge[] = {3, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
  EXPECT_EQ(ArrayElementCount(huge), 0u) << "an element count that overflows is malformed";
}

TEST(Array, SizesThatCannotBeAllocatedAreAnError) {
  RecordingPlatform platform;
  const int32_t sizes[] = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
  EXPECT_EQ(ExitCodeOf([&] { NewArray(kTypeDouble, sizes); }), -1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_NE(platform.boxes[0].text.find("字节内存失败!"), std::string::npos);
}

TEST(IntegerFromValue, EveryNumericType) {
  EXPECT_EQ(IntegerFromValue(TypedValue::Byte(200)), 200);
  EXPECT_EQ(IntegerFromValue({0xFFFFFFC8u, 0, kTypeByte}), 200) << "only the low byte counts";
  EXPECT_EQ(IntegerFromValue(TypedValue::Short(-3)), -3);
  EXPECT_EQ(IntegerFromValue({0x0001FFFDu, 0, kTypeShort}), -3) << "sign-extended from 16 bits";
  EXPECT_EQ(IntegerFromValue(TypedValue::Int(-7)), -7);
  EXPECT_EQ(IntegerFromValue(TypedValue::Long(0x123456789LL)), 0x23456789);
  EXPECT_EQ(IntegerFromValue(TypedValue::Float(-2.9f)), -2);
  EXPECT_EQ(IntegerFromValue(TypedValue::Double(2.9999)), 2);
  EXPECT_EQ(IntegerFromValue(TypedValue::Double(1e20)), INT32_MIN);
  EXPECT_EQ(IntegerFromValue(TypedValue::Double(std::nan(""))), INT32_MIN);
}

TEST(IntegerFromValue, NonNumericIsARuntimeError) {
  RecordingPlatform platform;
  for (TypedValue v : {TypedValue::Bool(true), TypedValue::Text(nullptr), TypedValue::DateTime(1.0),
                       TypedValue::Omitted()}) {
    platform.boxes.clear();
    EXPECT_EQ(ExitCodeOf([&] { IntegerFromValue(v); }), -1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "运行时出错!\r\n\r\n错误信息：欲转换数据类型不是数值\r\n");
  }
}

}  // namespace
