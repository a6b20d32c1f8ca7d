// Window templates: the block format read from hand-built bytes, round trips of arbitrary
// layouts, malformed blocks, unit and handler lookups, and the runtime error at start-up.
#include <gtest/gtest.h>

#include <random>

#include "runtime/templates/template_reader.h"
#include "runtime/templates/template_writer.h"
#include "runtime/templates/window_template.h"
#include "support/recording_platform.h"

using namespace runtime;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

struct Block {
  Bytes bytes;
  Block& U32(uint32_t v) {
    PutU32(bytes, v);
    return *this;
  }
  Block& Raw(std::string_view s) {
    PutRaw(bytes, s);
    return *this;
  }
};

// A unit record as the format describes it, item by item, with a binding and a class block.
Bytes HandRecord(uint32_t typeReference, std::string_view nameWithTerminator, int32_t left,
                 uint32_t handlerReference, std::string_view classBlock) {
  Block r;
  r.U32(typeReference).U32(0).U32(0).U32(0).U32(0).U32(0);     // type, leader, four words
  r.Raw(nameWithTerminator).Raw(std::string_view("\0", 1));    // name, second text
  r.U32(0).U32(left).U32(20).U32(300).U32(200).U32(0).U32(0);  // slot, position, slot, parent
  r.U32(0);                                                    // no children
  r.U32(4).U32(0);                                             // cursor data: 4 zero bytes
  r.Raw(std::string_view("\0", 1));                            // tag
  r.U32(0).U32(kUnitVisible | kUnitTabStop).U32(0);            // flags group
  r.U32(1).U32(0).U32(handlerReference);                       // one binding, event 0
  r.U32(0).U32(0).U32(0).U32(0).U32(0);
  r.Raw(classBlock);
  return r.bytes;
}

// One window, two units whose records are stored in reverse order: the reader must follow
// the offsets, counted from the end of the offset array.
Bytes HandBlock() {
  Bytes window = HandRecord(kClassWindow, std::string_view("\0", 1), 10, 0x1234, "");
  Bytes button = HandRecord(kClassButton, std::string_view("OK\0", 3), 30, kNoHandler, "\x07\x08");
  Block body;
  body.U32(0x06010000).U32(0x16010002);
  body.U32(static_cast<uint32_t>(4 + button.size())).U32(0);
  PutPrefixed(body.bytes, button);
  PutPrefixed(body.bytes, window);
  Block block;
  block.U32(8).U32(0x52010001).U32(0xDEADBEEF);  // the slot's stored value means nothing
  block.U32(0x11).U32(0x22).U32(4).Raw("ABCD").U32(0);
  block.U32(2).U32(static_cast<uint32_t>(body.bytes.size()));
  PutRaw(block.bytes, body.bytes);
  return block.bytes;
}

TEST(TemplateReader, ReadsHandBuiltBlockByTheOffsets) {
  TemplateReadResult read = ReadTemplateBlock(HandBlock());
  ASSERT_TRUE(read.Ok()) << TemplateErrorText(read.error) << " at " << read.errorOffset;
  ASSERT_EQ(read.table.windows.size(), 1u);
  const WindowTemplate& window = read.table.windows[0];
  EXPECT_EQ(window.id, 0x52010001u);
  EXPECT_EQ(window.words, (std::array<uint32_t, 2>{0x11, 0x22}));
  EXPECT_EQ(window.firstText, "ABCD");
  ASSERT_EQ(window.units.size(), 2u);
  EXPECT_EQ(window.units[0].id, 0x06010000u);
  EXPECT_EQ(window.units[0].typeReference, kClassWindow);
  EXPECT_EQ(window.units[0].left, 10);
  EXPECT_TRUE(window.units[0].classBlock.empty());
  ASSERT_EQ(window.units[0].bindings.size(), 1u);
  EXPECT_EQ(window.units[0].bindings[0].reference, 0x1234u);

  const UnitTemplate& button = window.units[1];
  EXPECT_EQ(button.name, "OK");
  EXPECT_EQ(button.left, 30);
  EXPECT_EQ(button.top, 20);
  EXPECT_EQ(button.width, 300);
  EXPECT_EQ(button.height, 200);
  EXPECT_EQ(button.flags, kUnitVisible | kUnitTabStop);
  EXPECT_EQ(button.cursorData, Bytes(4, 0));
  EXPECT_EQ(button.classBlock, (Bytes{7, 8}));
}

TEST(TemplateReader, MalformedBlocksAreRejectedWithTheirFault) {
  const Bytes good = HandBlock();
  // Offsets in HandBlock: window table at 0, unit count at 32, body length at 36, ids at 40,
  // offsets at 48, the button's record length word at 56 and its record from 60.
  auto patched = [&](size_t at, uint32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return ReadTemplateBlock(b);
  };
  EXPECT_EQ(patched(0, 12).error, TemplateError::kWindowTable);
  EXPECT_EQ(patched(0, 0x7FFFFFF8).error, TemplateError::kTruncated);
  EXPECT_EQ(patched(32, 0).error, TemplateError::kUnitCount);
  EXPECT_EQ(patched(32, 0x20000001).error, TemplateError::kUnitCount);
  EXPECT_EQ(patched(36, 0xFFFFFFF0).error, TemplateError::kTruncated);
  EXPECT_EQ(patched(48, 0x10000).error, TemplateError::kUnitOffset);
  EXPECT_EQ(patched(56, 0x10000).error, TemplateError::kTruncated);
  EXPECT_EQ(patched(56, 26).error, TemplateError::kTruncated);  // the record ends inside the name
  EXPECT_EQ(patched(60 + 56, 0x40000000).error, TemplateError::kTruncated);  // child count
  EXPECT_EQ(patched(60 + 81, 0x20000000).error, TemplateError::kTruncated);  // binding count

  Bytes longer = good;
  longer.push_back(0);
  TemplateReadResult trailing = ReadTemplateBlock(longer);
  EXPECT_EQ(trailing.error, TemplateError::kTrailingBytes);
  EXPECT_EQ(trailing.errorOffset, good.size());
  EXPECT_TRUE(trailing.table.windows.empty());
}

TEST(TemplateReader, EveryTruncationIsRejected) {
  const Bytes good = HandBlock();
  for (size_t length = 0; length < good.size(); ++length) {
    Bytes cut(good.begin(), good.begin() + length);  // exactly sized: the sanitizer sees overreads
    EXPECT_FALSE(ReadTemplateBlock(cut).Ok()) << length;
  }
}

// Arbitrary layouts, including units of classes nobody knows with arbitrary class blocks.
class LayoutMaker {
 public:
  explicit LayoutMaker(uint32_t seed) : random_(seed) {}

  TemplateTable Table() {
    TemplateTable table;
    table.windows.resize(Below(4));
    for (WindowTemplate& window : table.windows) {
      window.id = Word();
      window.words = {Word(), Word()};
      window.firstText = Text(true);
      window.secondText = Text(true);
      window.units.resize(1 + Below(6));
      for (UnitTemplate& unit : window.units) unit = Unit();
    }
    return table;
  }

 private:
  uint32_t Word() { return static_cast<uint32_t>(random_()); }
  size_t Below(size_t n) { return Word() % n; }
  std::string Text(bool mayHoldZero) {
    std::string text(Below(12), '\0');
    for (char& c : text) c = static_cast<char>(mayHoldZero ? Word() : 1 + Below(255));
    return text;
  }
  Bytes Data(size_t limit) {
    Bytes data(Below(limit));
    for (uint8_t& b : data) b = static_cast<uint8_t>(Word());
    return data;
  }

  UnitTemplate Unit() {
    UnitTemplate unit{.id = Word(),
                      .typeReference = Word(),
                      .arrayLeader = Word(),
                      .headWords = {Word(), Word(), Word(), Word()},
                      .name = Text(false),
                      .secondText = Text(false),
                      .left = static_cast<int32_t>(Word()),
                      .top = static_cast<int32_t>(Word()),
                      .width = static_cast<int32_t>(Word()),
                      .height = static_cast<int32_t>(Word()),
                      .parentId = Word()};
    unit.children.resize(Below(3));
    for (uint32_t& child : unit.children) child = Word();
    unit.cursorData = Data(9);
    unit.tag = Text(false);
    unit.flagsLead = Word();
    unit.flags = Word();
    unit.flagsTrail = Word();
    unit.bindings.resize(Below(4));
    for (EventBinding& b : unit.bindings) b = {static_cast<int32_t>(Word()), Below(2) ? kNoHandler : Word()};
    unit.tailWords = {Word(), Word(), Word(), Word(), Word()};
    unit.classBlock = Data(80);
    return unit;
  }

  std::mt19937 random_;
};

TEST(TemplateWriter, ArbitraryLayoutsRoundTrip) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    const TemplateTable table = LayoutMaker(seed).Table();
    const Bytes block = WriteTemplateBlock(table);
    TemplateReadResult read = ReadTemplateBlock(block);
    ASSERT_TRUE(read.Ok()) << seed << ": " << TemplateErrorText(read.error);
    EXPECT_EQ(read.table, table) << seed;
    EXPECT_EQ(WriteTemplateBlock(read.table), block) << seed;
  }
}

TEST(TemplateWriter, UnknownClassBlocksPassThroughUnchanged) {
  const Bytes opaque = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0x42};  // no class could read this
  TemplateTable table{
      .windows = {{.id = 0x52000002,
                   .units = {{.id = 0x06000001, .typeReference = kClassWindow},
                             {.id = 0x16000003, .typeReference = 0x00060009, .classBlock = opaque}}}}};
  TemplateReadResult read = ReadTemplateBlock(WriteTemplateBlock(table));
  ASSERT_TRUE(read.Ok());
  EXPECT_EQ(read.table.windows[0].units[1].classBlock, opaque);
}

TEST(TemplateLookup, UnitsWindowsAndHandlers) {
  std::vector<UnitTemplate> units(3);
  units[0].id = 7;
  units[1].id = 8;
  units[2].id = 8;  // a duplicate: the first one wins
  EXPECT_EQ(FindUnit(units, 7), &units[0]);
  EXPECT_EQ(FindUnit(units, 8), &units[1]);
  EXPECT_EQ(FindUnit(units, 9), nullptr);
  std::vector<UnitTemplate> none;
  EXPECT_EQ(FindUnit(none, 7), nullptr);

  TemplateTable table{.windows = {{.id = 1}, {.id = 2}}};
  EXPECT_EQ(table.Find(2), &table.windows[1]);
  EXPECT_EQ(std::as_const(table).Find(3), nullptr);
}

int gCalls;
void RoutineA(EventFrame&) { ++gCalls; }
void RoutineB(EventFrame&) { gCalls += 10; }

TEST(TemplateHandlers, ResolvedThroughTheTableAndEmptyForTheEmptyReference) {
  TemplateTable table{.windows = {{.id = 0x52000001,
                                   .units = {{.id = 0x06000001, .bindings = {{0, 5}, {3, kNoHandler}}},
                                             {.id = 0x16000002, .bindings = {{0, 9}, {1, 6}}}}}}};
  const HandlerEntry handlers[] = {
      {0x52000001, 0x06000001, 0, RoutineA},
      {0x52000001, 0x06000001, 3, RoutineB},  // the template leaves event 3 unbound
      {0x52000001, 0x16000002, 0, RoutineB},
  };
  // The button's event 1 names a routine the table lacks: it stays empty, and is counted.
  EXPECT_EQ(ResolveHandlers(table, handlers), 1u);
  const std::vector<UnitTemplate>& units = table.windows[0].units;
  EXPECT_EQ(FindHandler(units[0], 0), &RoutineA);
  EXPECT_EQ(FindHandler(units[0], 3), nullptr);
  EXPECT_EQ(FindHandler(units[1], 0), &RoutineB);
  EXPECT_EQ(FindHandler(units[1], 1), nullptr);
  EXPECT_EQ(FindHandler(units[1], 2), nullptr);
}

TEST(TemplateLoad, UnreadableBlockIsTheRuntimeError) {
  RecordingPlatform platform;
  Bytes block = HandBlock();
  block.pop_back();
  EXPECT_EQ(ExitCodeOf([&] { LoadTemplateBlock(block, {}); }), -1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  EXPECT_EQ(platform.boxes[0].title, "错误");

  const HandlerEntry handlers[] = {{0x52010001, 0x06010000, 0, RoutineA}};
  LoadProgramTemplates(HandBlock(), handlers);
  ASSERT_NE(ProgramTemplates().Find(0x52010001), nullptr);
  EXPECT_EQ(FindHandler(ProgramTemplates().windows[0].units[0], 0), &RoutineA);
}

TEST(TemplateLoad, AReferenceNoRoutineResolvesFailsTheProgramsBlockButNotAForeignOne) {
  RecordingPlatform platform;
  // A block from elsewhere loads with the binding empty; the count says so.
  size_t unresolved = 99;
  const TemplateTable foreign = LoadTemplateBlock(HandBlock(), {}, &unresolved);
  EXPECT_EQ(unresolved, 1u);
  EXPECT_EQ(FindHandler(foreign.windows[0].units[0], 0), nullptr);
  EXPECT_TRUE(platform.boxes.empty());

  // The program's own block: a start-up failure.
  const HandlerEntry elsewhere[] = {{0x52010001, 0x06010000, 1, RoutineA}};
  EXPECT_EQ(ExitCodeOf([&] { LoadProgramTemplates(HandBlock(), elsewhere); }), -1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text,
            std::string("运行时出错!\r\n\r\n错误信息：") + kErrorUnresolvedHandlers + "\r\n");
}

}  // namespace
