// Class property blocks: defaults of an empty block, versions, field positions, clamping on
// write, and the 60-byte font record.
#include "runtime/templates/class_blocks.h"

#include <gtest/gtest.h>

using namespace runtime;
using base::PutRaw;

namespace {

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes out;
  for (uint32_t w : words) PutU32(out, w);
  return out;
}

TEST(WindowBlock, EmptyBlockGivesTheDefaults) {
  ClassBlockRead<WindowProperties> read = ReadWindowBlock({});
  ASSERT_TRUE(read.Ok());
  const WindowProperties& p = read.properties;
  EXPECT_EQ(p.borderStyle, 2);
  EXPECT_EQ(p.picturePlacement, 1);
  EXPECT_EQ(p.backgroundColour, 0xFF000000u);
  EXPECT_FALSE(p.maximizeButton);
  EXPECT_TRUE(p.minimizeButton);
  EXPECT_TRUE(p.controlBox);
  EXPECT_EQ(p.startPosition, 1);
  EXPECT_TRUE(p.closeAllowed);
  EXPECT_EQ(p.soundPlaying, 0);
  EXPECT_TRUE(p.escCloses);
  EXPECT_FALSE(p.enterMovesFocus);
  EXPECT_TRUE(p.showInTaskbar);
  EXPECT_FALSE(p.dragByClient);
  EXPECT_EQ(p.shape, 0);
  EXPECT_TRUE(p.className.empty());
  EXPECT_TRUE(p.title.empty());
}

TEST(WindowBlock, OlderVersionsLackTheirNewerFields) {
  // Version 3: the 13 base words, shown-in-taskbar (2), drag and shape (3), then the five
  // length-prefixed items without a class name.
  Bytes block = Words({3, 4, 0, 0x00123456, 1, 0, 0, 2, 0, 1, 1, 0, 1, 77, 0, 1, 5});
  for (uint32_t len : {0u, 0u, 0u}) PutU32(block, len);
  PutPrefixed(block, std::string_view("Title"));
  PutPrefixed(block, std::string_view("help.hlp"));
  ClassBlockRead<WindowProperties> read = ReadWindowBlock(block);
  ASSERT_TRUE(read.Ok());
  const WindowProperties& p = read.properties;
  EXPECT_EQ(p.borderStyle, 4);
  EXPECT_EQ(p.backgroundColour, 0x00123456u);
  EXPECT_TRUE(p.maximizeButton);
  EXPECT_FALSE(p.controlBox);
  EXPECT_EQ(p.startPosition, 2);
  EXPECT_FALSE(p.closeAllowed);
  EXPECT_TRUE(p.f1Help);
  EXPECT_EQ(p.helpContext, 77);
  EXPECT_FALSE(p.showInTaskbar);
  EXPECT_TRUE(p.dragByClient);
  EXPECT_EQ(p.shape, 5);
  EXPECT_FALSE(p.alwaysOnTop);  // version 4 on: the default
  EXPECT_EQ(p.title, "Title");
  EXPECT_EQ(p.helpFile, "help.hlp");

  // Version 1 has no shown-in-taskbar word either: after the 13 base words come the picture,
  // icon and sound lengths, the title and the help file.
  Bytes v1 = Words({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  PutPrefixed(v1, std::string_view("T"));
  PutU32(v1, 0);
  ASSERT_TRUE(ReadWindowBlock(v1).Ok());
  EXPECT_TRUE(ReadWindowBlock(v1).properties.showInTaskbar);
  EXPECT_EQ(ReadWindowBlock(v1).properties.title, "T");
}

TEST(WindowBlock, NewerOrBrokenBlocksAreRejected) {
  Bytes block = WriteWindowBlock({});
  block[0] = 7;
  EXPECT_EQ(ReadWindowBlock(block).status, ClassBlockStatus::kNewerVersion);
  EXPECT_EQ(ReadWindowBlock(Words({0xFFFFFFFF})).status, ClassBlockStatus::kNewerVersion);
  Bytes cut = WriteWindowBlock({});
  cut.pop_back();
  EXPECT_EQ(ReadWindowBlock(cut).status, ClassBlockStatus::kMalformed);
  EXPECT_EQ(ReadWindowBlock(Bytes{6, 0}).status, ClassBlockStatus::kMalformed);
}

TEST(WindowBlock, WrittenAsVersion6WithChoicesClamped) {
  WindowProperties p{.borderStyle = 9,
                     .picturePlacement = -2,
                     .startPosition = 4,
                     .soundPlaying = 3,
                     .shape = 30,
                     .title = "Netmend"};
  const Bytes block = WriteWindowBlock(p);
  // 19 words, six length words and the title.
  ASSERT_EQ(block.size(), 19 * 4 + 6 * 4 + 7u);
  Bytes head(block.begin(), block.begin() + 12);
  EXPECT_EQ(head, Words({6, 6, 0}));
  ClassBlockRead<WindowProperties> read = ReadWindowBlock(block);
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(read.properties.borderStyle, 6);
  EXPECT_EQ(read.properties.picturePlacement, 0);
  EXPECT_EQ(read.properties.startPosition, 3);
  EXPECT_EQ(read.properties.soundPlaying, 2);
  EXPECT_EQ(read.properties.shape, 29);
  EXPECT_EQ(read.properties.title, "Netmend");

  p = {.borderStyle = -1, .startPosition = -5, .shape = -1};
  ClampChoices(p);
  EXPECT_EQ(p.borderStyle, 0);
  EXPECT_EQ(p.startPosition, 0);
  EXPECT_EQ(p.shape, 0);
}

TEST(ButtonBlock, DefaultsVersionsAndFields) {
  ClassBlockRead<ButtonProperties> empty = ReadButtonBlock({});
  ASSERT_TRUE(empty.Ok());
  EXPECT_EQ(empty.properties.caption, "按钮");
  EXPECT_EQ(empty.properties.type, 0);
  EXPECT_EQ(empty.properties.horizontalAlign, 1);
  EXPECT_EQ(empty.properties.verticalAlign, 1);
  EXPECT_TRUE(empty.properties.font.empty());

  Bytes block = Words({1, 1, 2, 0, 3});
  PutRaw(block, std::string_view("\1\2\3"));
  PutU32(block, 0);
  PutPrefixed(block, std::string_view("关闭"));
  ClassBlockRead<ButtonProperties> read = ReadButtonBlock(block);
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(read.properties.type, 1);
  EXPECT_EQ(read.properties.horizontalAlign, 2);
  EXPECT_EQ(read.properties.verticalAlign, 0);
  EXPECT_EQ(read.properties.picture, (Bytes{1, 2, 3}));
  EXPECT_EQ(read.properties.caption, "关闭");
  EXPECT_EQ(WriteButtonBlock(read.properties), block);

  block[0] = 2;
  EXPECT_EQ(ReadButtonBlock(block).status, ClassBlockStatus::kNewerVersion);
  EXPECT_EQ(ReadButtonBlock(Words({1, 0, 1, 1, 0, 0, 9})).status, ClassBlockStatus::kMalformed);
}

TEST(TimerBlock, DefaultsVersionsAndInterval) {
  EXPECT_EQ(ReadTimerBlock({}).properties.interval, 0);
  ClassBlockRead<TimerProperties> read = ReadTimerBlock(Words({1, 1200}));
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(read.properties.interval, 1200);
  EXPECT_EQ(WriteTimerBlock({.interval = 1200}), Words({1, 1200}));
  EXPECT_EQ(ReadTimerBlock(Words({2, 1200})).status, ClassBlockStatus::kNewerVersion);
  EXPECT_EQ(ReadTimerBlock(Words({1})).status, ClassBlockStatus::kMalformed);
}

TEST(FontRecord, SixtyBytesWithTheFaceUpToItsTerminator) {
  Bytes bytes = Words({0xFFFFFFEB, 0, 0, 0, 700});
  PutRaw(bytes, std::string_view("\1\0\1\x86\3\2\1\x22", 8));
  PutRaw(bytes, std::string_view("Arial\0Times New Roman\0\0\0\0\0\0\0\0\0\0", 32));
  ASSERT_EQ(bytes.size(), 60u);
  std::optional<FontRecord> font = ReadFontRecord(bytes);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->height, -21);
  EXPECT_EQ(font->weight, 700);
  EXPECT_EQ(font->italic, 1);
  EXPECT_EQ(font->strikeOut, 1);
  EXPECT_EQ(font->charSet, 134);
  EXPECT_EQ(font->outPrecision, 3);
  EXPECT_EQ(font->clipPrecision, 2);
  EXPECT_EQ(font->quality, 1);
  EXPECT_EQ(font->pitchAndFamily, 0x22);
  EXPECT_EQ(font->FaceName(), "Arial");      // what an earlier name left behind is ignored...
  EXPECT_EQ(WriteFontRecord(*font), bytes);  // ...but kept

  bytes.pop_back();
  EXPECT_FALSE(ReadFontRecord(bytes));
  bytes.resize(61);
  EXPECT_FALSE(ReadFontRecord(bytes));

  FontRecord named;
  named.SetFaceName("A face name longer than thirty-one bytes");
  EXPECT_EQ(named.FaceName().size(), 31u);
}

}  // namespace
