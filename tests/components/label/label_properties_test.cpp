// The transparent label's class block: defaults, the stored empty caption, versions and
// clamping on write.
#include "components/label/label_properties.h"

#include <gtest/gtest.h>

using namespace components;
using runtime::ClassBlockStatus;

namespace {

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes out;
  for (uint32_t w : words) PutU32(out, w);
  return out;
}

TEST(TransLabelBlock, DefaultsStoredEmptyCaptionAndClamping) {
  EXPECT_EQ(ReadTransLabelBlock({}).properties.caption, "透明标签");
  EXPECT_EQ(ReadTransLabelBlock({}).properties.verticalAlign, 1);

  // Stored order: effect, colour, horizontal, vertical, word wrap, font, caption.
  Bytes block = Words({1, 3, 0x00FFFFFF, 2, 0, 1, 0, 0});
  ClassBlockRead<TransLabelProperties> read = ReadTransLabelBlock(block);
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(read.properties.textEffect, 3);
  EXPECT_EQ(read.properties.textColour, 0x00FFFFFFu);
  EXPECT_EQ(read.properties.horizontalAlign, 2);
  EXPECT_EQ(read.properties.verticalAlign, 0);
  EXPECT_TRUE(read.properties.wordWrap);
  EXPECT_EQ(read.properties.caption, "");  // stored empty: no default
  EXPECT_EQ(WriteTransLabelBlock(read.properties), block);

  EXPECT_EQ(ReadTransLabelBlock(Words({2, 0, 0, 0, 1, 0, 0, 0})).status, ClassBlockStatus::kNewerVersion);
  TransLabelProperties wild{.textEffect = 7, .horizontalAlign = -1, .verticalAlign = 5};
  TransLabelProperties written = ReadTransLabelBlock(WriteTransLabelBlock(wild)).properties;
  EXPECT_EQ(written.textEffect, 3);
  EXPECT_EQ(written.horizontalAlign, 0);
  EXPECT_EQ(written.verticalAlign, 2);
  wild.textEffect = -1;
  EXPECT_EQ(ReadTransLabelBlock(WriteTransLabelBlock(wild)).properties.textEffect, 0);
}

}  // namespace
