// The program's template block, checked against the layout tables of its two windows: ids,
// names, classes, positions, flags, bindings and class properties, a few stored bytes, and
// every truncation of the block.
#include "app/layout.h"

#include <gtest/gtest.h>

#include "components/label/label_properties.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/templates/template_reader.h"
#include "support/recording_platform.h"

using namespace runtime;
using components::ReadTransLabelBlock;
using components::TransLabelProperties;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

struct ExpectedUnit {
  uint32_t id;
  uint32_t typeReference;
  const char* name;
  int32_t left, top, width, height;
  uint32_t flags;
  std::vector<std::pair<int32_t, std::string_view>> bindings;  // event → routine
  size_t classBlockSize;
};

const ExpectedUnit kMainUnits[] = {
    {0x06010000,
     0x00010001,
     "",
     50,
     50,
     800,
     580,
     1,
     {{0, "BuildSkin"}, {3, "FollowMainWindow"}, {8, "OperatingSystemGate"}},
     100},
    {0x16010F61, 0x0001000B, "开始按钮_LOGO", 70, 206, 258, 255, 5, {}, 0},
    {0x16010AAD, 0x0001000B, "开始按钮_关闭", 458, 336, 214, 56, 5, {{0, "CloseMainWindow"}}, 0},
    {0x16010623, 0x00010020, "时钟_标准1", 312, 16, 26, 26, 0, {{0, "OnProgressTick"}}, 0},
    {0x1601025D, 0x0001000B, "按钮_关闭", 748, 16, 37, 29, 21, {{0, "CloseMainWindow"}}, 32},
    {0x1601017E, 0x0001000B, "开始按钮_修复", 458, 393, 214, 56, 5, {{0, "StartRepair"}}, 0},
};

const ExpectedUnit kOverlayUnits[] = {
    {0x060108F8, 0x00010001, "", 50, 50, 800, 540, 1, {{0, "MakeOverlayTransparent"}}, 100},
    {0x16010DC0, 0x00040008, "动画框2", 608, 16, 32, 32, 4, {}, 0},
    {0x16010DBF, 0x00040009, "动画物体2", 560, 16, 40, 32, 0, {}, 0},
    {0x16010BCE, 0x00050005, "程序描述", 50, 250, 460, 50, 1, {}, 92},
    {0x16010BCC, 0x00050005, "程序名称", 50, 150, 460, 60, 1, {}, 92},
    {0x16010ACD, 0x00050005, "透明标签1", 50, 360, 400, 32, 1, {}, 92},
    {0x16010A9D, 0x00040009, "动画物体1", 424, 16, 40, 32, 0, {}, 0},
    {0x16010A9C, 0x00040008, "动画框1", 480, 16, 32, 32, 4, {}, 0},
};

TemplateTable ReadProgramBlock() {
  std::span<const uint8_t> block = app::ProgramTemplateBlock();
  TemplateReadResult read = ReadTemplateBlock(block);
  EXPECT_TRUE(read.Ok()) << TemplateErrorText(read.error) << " at " << read.errorOffset;
  return read.table;
}

void ExpectUnits(const WindowTemplate& window, std::span<const ExpectedUnit> expected) {
  ASSERT_EQ(window.units.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const UnitTemplate& unit = window.units[i];
    const ExpectedUnit& want = expected[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(unit.id, want.id);
    EXPECT_EQ(unit.typeReference, want.typeReference);
    EXPECT_EQ(unit.name, want.name);
    EXPECT_EQ(unit.left, want.left);
    EXPECT_EQ(unit.top, want.top);
    EXPECT_EQ(unit.width, want.width);
    EXPECT_EQ(unit.height, want.height);
    EXPECT_EQ(unit.flags, want.flags);
    EXPECT_EQ(unit.classBlock.size(), want.classBlockSize);
    EXPECT_EQ(unit.arrayLeader, 0u);
    EXPECT_EQ(unit.parentId, 0u);
    EXPECT_TRUE(unit.children.empty());
    EXPECT_EQ(unit.cursorData, Bytes(4, 0));
    EXPECT_TRUE(unit.tag.empty());
    ASSERT_EQ(unit.bindings.size(), want.bindings.size());
    for (size_t b = 0; b < want.bindings.size(); ++b) {
      EXPECT_EQ(unit.bindings[b].eventIndex, want.bindings[b].first);
      EXPECT_EQ(app::HandlerName(unit.bindings[b].reference), want.bindings[b].second);
    }
  }
}

TEST(ProgramBlock, HoldsBothWindowsAsTheTablesGiveThem) {
  ASSERT_EQ(app::ProgramTemplateBlock().size(), 2365u);
  TemplateTable table = ReadProgramBlock();
  ASSERT_EQ(table.windows.size(), 2u);
  EXPECT_EQ(table.windows[0].id, 0x52010001u);
  EXPECT_EQ(table.windows[0].words, (std::array<uint32_t, 2>{0x00C423F0, 0x19010048}));
  EXPECT_EQ(table.windows[1].id, 0x520108F7u);
  EXPECT_EQ(table.windows[1].words, (std::array<uint32_t, 2>{7, 0x190108FB}));
  for (const WindowTemplate& window : table.windows) {
    EXPECT_TRUE(window.firstText.empty());
    EXPECT_TRUE(window.secondText.empty());
  }
  ExpectUnits(table.windows[0], kMainUnits);
  ExpectUnits(table.windows[1], kOverlayUnits);
  // The layout the program keeps as data is what its block holds.
  EXPECT_EQ(table, app::ProgramLayout());
}

TEST(ProgramBlock, StoredBytesWhereTheFormatPutsThem) {
  std::span<const uint8_t> b = app::ProgramTemplateBlock();
  auto word = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24; };
  // Window table: 16 bytes, the two ids, two slots.
  EXPECT_EQ(word(0), 16u);
  EXPECT_EQ(word(4), 0x52010001u);
  EXPECT_EQ(word(8), 0x520108F7u);
  // Main window: words, two empty texts, 6 units whose list body is 6 × 8 bytes of ids and
  // offsets and six records of 227, 116, 124, 121, 152 and 124 bytes, each with its length word.
  EXPECT_EQ(word(20), 0x00C423F0u);
  EXPECT_EQ(word(36), 6u);
  EXPECT_EQ(word(40), 48u + 227 + 116 + 124 + 121 + 152 + 124 + 6 * 4);
  EXPECT_EQ(word(44), 0x06010000u);
  const uint32_t offsets[] = {0, 231, 351, 479, 604, 760};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(word(68 + 4 * i), offsets[i]) << i;
  EXPECT_EQ(word(92), 227u);
  // The overlay window's record follows at 44 + 936 and its list body runs to the end.
  EXPECT_EQ(word(980), 7u);
  EXPECT_EQ(word(996), 8u);
  EXPECT_EQ(word(1000), 2365u - 1004);
}

TEST(ProgramBlock, ClassPropertiesOfTheTables) {
  TemplateTable table = ReadProgramBlock();
  const std::vector<UnitTemplate>& main = table.windows[0].units;
  const std::vector<UnitTemplate>& overlay = table.windows[1].units;

  // The window blocks, word by word from the tables: version 6; border style, placement,
  // colour, maximize, minimize, control box, start position, close allowed, sound playing,
  // Enter, Esc, F1, help context, taskbar, drag, shape, on top, caption active; then six empty
  // items (class name, picture, icon, sound, title, help file).
  auto windowBlock = [](std::initializer_list<uint32_t> fields) {
    Bytes block;
    PutU32(block, 6);
    for (uint32_t field : fields) PutU32(block, field);
    for (int i = 0; i < 6; ++i) PutU32(block, 0);
    return block;
  };
  EXPECT_EQ(main[0].classBlock, windowBlock({0, 1, 0xFF000000, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0}));
  EXPECT_EQ(overlay[0].classBlock,
            windowBlock({0, 1, 0xFF000000, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  ClassBlockRead<WindowProperties> mainWindow = ReadWindowBlock(main[0].classBlock);
  ASSERT_TRUE(mainWindow.Ok());
  EXPECT_TRUE(mainWindow.properties.escCloses);
  EXPECT_TRUE(mainWindow.properties.dragByClient);
  EXPECT_EQ(mainWindow.properties.startPosition, 1);
  EXPECT_FALSE(ReadWindowBlock(overlay[0].classBlock).properties.showInTaskbar);

  for (int i : {1, 2, 5}) EXPECT_EQ(ReadButtonBlock(main[i].classBlock).properties.caption, "按钮");
  EXPECT_EQ(ReadTimerBlock(main[3].classBlock).properties.interval, 0);
  // "按钮_关闭": version 1, type 0, alignments 1 and 1, no picture, no font, "关闭".
  const Bytes closeBlock = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1,    0,    0,    0,
                            0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0xB9, 0xD8, 0xB1, 0xD5};
  EXPECT_EQ(main[4].classBlock, closeBlock);
}

// The label block of "程序描述", byte for byte: version 1, effect 0, colour 0, alignments 0
// and 1, no word wrap, a 60-byte LOGFONTA, an empty caption.
TEST(ProgramBlock, LabelBlocksByteForByte) {
  TemplateTable table = ReadProgramBlock();
  const std::vector<UnitTemplate>& overlay = table.windows[1].units;
  Bytes description = {1,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0,
                       0,    0,    0,    0,    1,    0,    0,    0,    0,    0,    0, 0,
                       60,   0,    0,    0,    0xEB, 0xFF, 0xFF, 0xFF, 0,    0,    0, 0,
                       0,    0,    0,    0,    0,    0,    0,    0,    0x90, 0x01, 0, 0,  // -21, 400
                       0,    0,    0,    0,    3,    2,    1,    0x22,                    // char set 0
                       0xCE, 0xA2, 0xC8, 0xED, 0xD1, 0xC5, 0xBA, 0xDA};                   // "微软雅黑"
  description.resize(description.size() + 24);  // terminator and the rest of the face buffer
  PutU32(description, 0);                       // empty caption
  ASSERT_EQ(description.size(), 92u);
  EXPECT_EQ(overlay[3].classBlock, description);

  struct Label {
    int unit;
    uint32_t colour;
    int32_t height;
    uint8_t charSet;
  };
  for (Label label : {Label{3, 0, -21, 0}, Label{4, 0, -48, 134}, Label{5, 0x00FFFFFF, -16, 134}}) {
    ClassBlockRead<TransLabelProperties> read = ReadTransLabelBlock(overlay[label.unit].classBlock);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.properties.textColour, label.colour);
    EXPECT_EQ(read.properties.horizontalAlign, 0);
    EXPECT_EQ(read.properties.verticalAlign, 1);
    EXPECT_EQ(read.properties.caption, "");
    std::optional<FontRecord> font = ReadFontRecord(read.properties.font);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->height, label.height);
    EXPECT_EQ(font->charSet, label.charSet);
    EXPECT_EQ(font->FaceName(), "微软雅黑");
  }
}

int gCalls;
void Recorded(EventFrame&) { ++gCalls; }

TEST(ProgramBlock, EveryStoredBindingResolvesThroughAHandlerTable) {
  TemplateTable table = ReadProgramBlock();
  std::vector<HandlerEntry> handlers;
  for (const WindowTemplate& window : table.windows) {
    for (const ExpectedUnit& unit : window.id == app::kMainWindow
                                        ? std::span<const ExpectedUnit>(kMainUnits)
                                        : std::span<const ExpectedUnit>(kOverlayUnits)) {
      for (auto& [event, name] : unit.bindings) handlers.push_back({window.id, unit.id, event, Recorded});
    }
  }
  EXPECT_EQ(ResolveHandlers(table, handlers), 0u);
  EXPECT_EQ(FindHandler(*FindUnit(table.Find(app::kMainWindow)->units, app::kRepairButton), 0), &Recorded);
  EXPECT_EQ(FindHandler(*FindUnit(table.Find(app::kMainWindow)->units, app::kLogoButton), 0), nullptr);
  // Without a table every binding stays empty: the eight stored references find no routine.
  EXPECT_EQ(ResolveHandlers(table, {}), 8u);
}

TEST(ProgramBlock, EveryTruncationIsTheTemplateError) {
  RecordingPlatform platform;
  std::span<const uint8_t> block = app::ProgramTemplateBlock();
  for (size_t length = 0; length < block.size(); ++length) {
    std::vector<uint8_t> cut(block.begin(), block.begin() + length);  // exactly sized for the sanitizer
    EXPECT_EQ(ExitCodeOf([&] { LoadTemplateBlock(cut, {}); }), -1) << length;
  }
  ASSERT_EQ(platform.boxes.size(), block.size());
  for (const RecordingPlatform::Box& box : platform.boxes) {
    ASSERT_EQ(box.text, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  }
}

}  // namespace
