// Fuzzes the template block reader and the class property blocks. Whatever the bytes, reading
// must not crash or read outside them; a block that reads must write back to one that reads
// to the same templates, and a class block that reads must survive its writer.
#include <cstdint>
#include <cstdlib>

#include "components/label/label_properties.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/templates/template_reader.h"
#include "runtime/templates/template_writer.h"

using namespace runtime;
using components::ReadTransLabelBlock;
using components::TransLabelProperties;
using components::WriteTransLabelBlock;

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

void FuzzClassBlock(const Bytes& block) {
  if (auto read = ReadWindowBlock(block); read.Ok()) {
    WindowProperties clamped = read.properties;
    ClampChoices(clamped);
    Check(ReadWindowBlock(WriteWindowBlock(read.properties)).properties == clamped);
  }
  if (auto read = ReadButtonBlock(block); read.Ok()) {
    Check(ReadButtonBlock(WriteButtonBlock(read.properties)).properties == read.properties);
  }
  if (auto read = ReadTimerBlock(block); read.Ok()) {
    Check(ReadTimerBlock(WriteTimerBlock(read.properties)).properties == read.properties);
  }
  if (auto read = ReadTransLabelBlock(block); read.Ok()) {
    TransLabelProperties clamped = read.properties;
    ClampChoices(clamped);
    Check(ReadTransLabelBlock(WriteTransLabelBlock(read.properties)).properties == clamped);
    if (auto font = ReadFontRecord(read.properties.font))
      Check(WriteFontRecord(*font) == read.properties.font);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TemplateReadResult read = ReadTemplateBlock({data, size});
  if (!read.Ok()) return 0;
  TemplateReadResult again = ReadTemplateBlock(WriteTemplateBlock(read.table));
  Check(again.Ok() && again.table == read.table);
  ResolveHandlers(read.table, {});
  for (const WindowTemplate& window : read.table.windows) {
    for (const UnitTemplate& unit : window.units) FuzzClassBlock(unit.classBlock);
  }
  return 0;
}
