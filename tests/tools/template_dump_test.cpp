// Template blocks as text: what a maintainer sees of a broken block, of units nobody knows
// and of texts that are not plain ASCII.
#include "tools/template_dump.h"

#include <gtest/gtest.h>

#include "runtime/templates/template_writer.h"

using namespace runtime;
using namespace tools;

namespace {

TEST(TemplateDump, BrokenBlockNamesItsFault) {
  const Bytes block = {12, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(
      DumpTemplateBlock(block),
      "template block: 16 bytes, rejected at offset 0: the window table is not a whole number of entries\n");
}

TEST(TemplateDump, UnknownUnitsStoredWordsAndEscapedTexts) {
  TemplateTable table{
      .windows = {{.id = 0x52000001,
                   .units = {{.id = 0x06000000, .typeReference = kClassWindow, .flags = kUnitDisabled},
                             {.id = 0x16000002,
                              .typeReference = 0x00090001,
                              .arrayLeader = 0x16000005,
                              .name = "\xB0\xB4\"x",
                              .parentId = 0x16000003,
                              .cursorData = {1, 0, 0, 0, 0xAB},
                              .tag = "t",
                              .bindings = {{-7, kNoHandler}, {0, 3}},
                              .tailWords = {0, 0, 9, 0, 0},
                              .classBlock = {0xDE, 0xAD}}}}}};
  DumpOptions options;
  options.handlerName = [](uint32_t number) { return number == 3 ? std::string("Three") : std::string(); };
  const std::string text = DumpTemplateBlock(WriteTemplateBlock(table), options);
  EXPECT_EQ(text.substr(0, text.find('\n')), "template block: 290 bytes, 1 windows");
  const std::string unit = text.substr(text.find("  unit 0x16000002"));
  EXPECT_EQ(
      unit,
      "  unit 0x16000002 \"\\xB0\\xB4\\\"x\": unknown class (0x00090001)\n"
      "    left 0, top 0, width 0, height 0\n"
      "    flags 0x00000000 (hidden), cursor data 01 00 00 00 AB, parent 0x16000003, tag \"t\", array leader "
      "0x16000005\n"
      "    stored words: tail 0x00000009\n"
      "    events: -7 -> none; 0 -> 3 Three\n"
      "    class block: 2 bytes: DE AD\n");
  EXPECT_NE(text.find("flags 0x00000002 (disabled), default cursor"), std::string::npos);
  EXPECT_NE(text.find("class block: empty, the class defaults"), std::string::npos);
}

}  // namespace
