// Writing window templates into a template block, the format the form runtime reads at
// start-up. constexpr, so that the program's own block is built while it is compiled; the
// same code serves maintainers' tools and tests at run time.
#pragma once

#include "base/byte_writer.h"
#include "runtime/templates/window_template.h"

namespace runtime {

using base::Bytes;
using base::PutI32;
using base::PutPrefixed;
using base::PutRaw;
using base::PutU32;
using base::PutZeroTerminated;

// A unit record without its length word. The object and cursor slots are written as 0: they
// only ever hold live objects.
constexpr Bytes WriteUnitRecord(const UnitTemplate& unit) {
  Bytes out;
  PutU32(out, unit.typeReference);
  PutU32(out, unit.arrayLeader);
  for (uint32_t word : unit.headWords) PutU32(out, word);
  PutZeroTerminated(out, unit.name);
  PutZeroTerminated(out, unit.secondText);
  PutU32(out, 0);  // object slot
  PutI32(out, unit.left);
  PutI32(out, unit.top);
  PutI32(out, unit.width);
  PutI32(out, unit.height);
  PutU32(out, 0);  // cursor slot
  PutU32(out, unit.parentId);
  PutU32(out, static_cast<uint32_t>(unit.children.size()));
  for (uint32_t child : unit.children) PutU32(out, child);
  PutPrefixed(out, unit.cursorData);
  PutZeroTerminated(out, unit.tag);
  PutU32(out, unit.flagsLead);
  PutU32(out, unit.flags);
  PutU32(out, unit.flagsTrail);
  PutU32(out, static_cast<uint32_t>(unit.bindings.size()));
  for (const EventBinding& binding : unit.bindings) {
    PutI32(out, binding.eventIndex);
    PutU32(out, binding.reference);
  }
  for (uint32_t word : unit.tailWords) PutU32(out, word);
  PutRaw(out, unit.classBlock);
  return out;
}

// The id-keyed unit list: count, body length, then ids, offsets (from the end of the offset
// array) and the records with their length words, in unit order.
constexpr void PutUnitList(Bytes& out, const std::vector<UnitTemplate>& units) {
  Bytes records;
  std::vector<uint32_t> offsets;
  for (const UnitTemplate& unit : units) {
    offsets.push_back(static_cast<uint32_t>(records.size()));
    PutPrefixed(records, WriteUnitRecord(unit));
  }
  PutU32(out, static_cast<uint32_t>(units.size()));
  PutU32(out, static_cast<uint32_t>(8 * units.size() + records.size()));
  for (const UnitTemplate& unit : units) PutU32(out, unit.id);
  for (uint32_t offset : offsets) PutU32(out, offset);
  PutRaw(out, records);
}

// The whole block: the window table (ids, then one zero slot per window for the loaded
// window objects), then the window records in the same order.
constexpr Bytes WriteTemplateBlock(const TemplateTable& table) {
  Bytes out;
  PutU32(out, static_cast<uint32_t>(8 * table.windows.size()));
  for (const WindowTemplate& window : table.windows) PutU32(out, window.id);
  for (size_t i = 0; i < table.windows.size(); ++i) PutU32(out, 0);
  for (const WindowTemplate& window : table.windows) {
    PutU32(out, window.words[0]);
    PutU32(out, window.words[1]);
    PutPrefixed(out, window.firstText);
    PutPrefixed(out, window.secondText);
    PutUnitList(out, window.units);
  }
  return out;
}

}  // namespace runtime
