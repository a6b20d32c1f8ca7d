// Reading the template block, front to back: the window table, then per window its two words,
// its two texts and its id-keyed unit list, each unit record walked item by item.
#include "runtime/templates/template_reader.h"

#include <utility>

#include "base/byte_reader.h"
#include "runtime/core/errors.h"

namespace runtime {

using base::ByteReader;
namespace {

class BlockReader {
 public:
  explicit BlockReader(std::span<const uint8_t> block) : block_(block) {}

  TemplateReadResult Read() {
    TemplateReadResult result;
    if (!ReadBlock(result.table)) {
      result.table = {};
      result.error = error_;
      result.errorOffset = errorOffset_;
    }
    return result;
  }

 private:
  bool Fail(TemplateError error, size_t offset) {
    error_ = error;
    errorOffset_ = offset;
    return false;
  }

  bool ReadBlock(TemplateTable& table) {
    ByteReader reader(block_);
    const uint32_t tableLength = reader.U32();
    if (!reader.Ok()) return Fail(TemplateError::kTruncated, 0);
    if (tableLength % 8 != 0) return Fail(TemplateError::kWindowTable, 0);
    if (!reader.Holds(tableLength, 1)) return Fail(TemplateError::kTruncated, 4);
    const uint32_t windowCount = tableLength / 8;
    table.windows.resize(windowCount);
    for (WindowTemplate& window : table.windows) window.id = reader.U32();
    reader.Take(4ull * windowCount);  // slots for the loaded windows; their stored values mean nothing
    for (WindowTemplate& window : table.windows) {
      if (!ReadWindow(reader, window)) return false;
    }
    if (!reader.AtEnd()) return Fail(TemplateError::kTrailingBytes, reader.Position());
    return true;
  }

  bool ReadWindow(ByteReader& reader, WindowTemplate& window) {
    window.words[0] = reader.U32();
    window.words[1] = reader.U32();
    window.firstText = reader.PrefixedText();
    window.secondText = reader.PrefixedText();
    if (!reader.Ok()) return Fail(TemplateError::kTruncated, reader.Position());
    return ReadUnitList(reader, window.units);
  }

  bool ReadUnitList(ByteReader& reader, std::vector<UnitTemplate>& units) {
    const size_t listOffset = reader.Position();
    const uint32_t count = reader.U32();
    const uint32_t bodyLength = reader.U32();
    const size_t bodyOffset = reader.Position();
    std::span<const uint8_t> body = reader.Take(bodyLength);
    if (!reader.Ok()) return Fail(TemplateError::kTruncated, listOffset);
    if (count == 0 || count > body.size() / 8) return Fail(TemplateError::kUnitCount, listOffset);

    ByteReader index(body);
    units.resize(count);
    for (UnitTemplate& unit : units) unit.id = index.U32();
    const size_t recordsOffset = bodyOffset + 8ull * count;
    std::span<const uint8_t> records = body.subspan(8ull * count);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t offset = index.U32();
      if (offset > records.size()) return Fail(TemplateError::kUnitOffset, bodyOffset + 4 * (count + i));
      ByteReader at(records.subspan(offset));
      std::span<const uint8_t> record = at.Prefixed();
      if (!at.Ok()) return Fail(TemplateError::kTruncated, recordsOffset + offset);
      if (!ReadUnitRecord(record, recordsOffset + offset + 4, units[i])) return false;
    }
    return true;
  }

  // `base` is the record's offset in the block, for the error report.
  bool ReadUnitRecord(std::span<const uint8_t> record, size_t base, UnitTemplate& unit) {
    ByteReader reader(record);
    unit.typeReference = reader.U32();
    unit.arrayLeader = reader.U32();
    for (uint32_t& word : unit.headWords) word = reader.U32();
    unit.name = reader.ZeroTerminated();
    unit.secondText = reader.ZeroTerminated();
    reader.U32();  // object slot: only ever holds a live object
    unit.left = reader.I32();
    unit.top = reader.I32();
    unit.width = reader.I32();
    unit.height = reader.I32();
    reader.U32();  // cursor slot: likewise
    unit.parentId = reader.U32();

    const uint32_t childCount = reader.U32();
    if (!reader.Holds(childCount, 4)) return Fail(TemplateError::kTruncated, base + reader.Position());
    unit.children.resize(childCount);
    for (uint32_t& child : unit.children) child = reader.U32();

    unit.cursorData = reader.PrefixedBytes();
    unit.tag = reader.ZeroTerminated();
    unit.flagsLead = reader.U32();
    unit.flags = reader.U32();
    unit.flagsTrail = reader.U32();

    const uint32_t bindingCount = reader.U32();
    if (!reader.Holds(bindingCount, 8)) return Fail(TemplateError::kTruncated, base + reader.Position());
    unit.bindings.resize(bindingCount);
    for (EventBinding& binding : unit.bindings) {
      binding.eventIndex = reader.I32();
      binding.reference = reader.U32();
    }
    for (uint32_t& word : unit.tailWords) word = reader.U32();
    if (!reader.Ok()) return Fail(TemplateError::kTruncated, base + reader.Position());

    std::span<const uint8_t> classBlock = reader.Take(reader.Remaining());
    unit.classBlock.assign(classBlock.begin(), classBlock.end());
    return true;
  }

  std::span<const uint8_t> block_;
  TemplateError error_ = TemplateError::kNone;
  size_t errorOffset_ = 0;
};

}  // namespace

const char* TemplateErrorText(TemplateError error) {
  switch (error) {
    case TemplateError::kNone:
      return "no error";
    case TemplateError::kTruncated:
      return "an item runs past the end of its data";
    case TemplateError::kWindowTable:
      return "the window table is not a whole number of entries";
    case TemplateError::kUnitCount:
      return "a unit count that the unit list cannot hold";
    case TemplateError::kUnitOffset:
      return "a unit record offset outside its unit list";
    case TemplateError::kTrailingBytes:
      return "bytes after the last window";
  }
  return "unknown error";
}

TemplateReadResult ReadTemplateBlock(std::span<const uint8_t> block) { return BlockReader(block).Read(); }

EventRoutine FindRoutine(std::span<const HandlerEntry> handlers, uint32_t windowId, uint32_t unitId,
                         int32_t eventIndex) {
  for (const HandlerEntry& entry : handlers) {
    if (entry.windowId == windowId && entry.unitId == unitId && entry.eventIndex == eventIndex) {
      return entry.routine;
    }
  }
  return nullptr;
}

size_t ResolveHandlers(TemplateTable& table, std::span<const HandlerEntry> handlers) {
  size_t unbound = 0;
  for (WindowTemplate& window : table.windows) {
    for (UnitTemplate& unit : window.units) {
      for (EventBinding& binding : unit.bindings) {
        binding.routine = nullptr;
        if (binding.reference == kNoHandler) continue;
        binding.routine = FindRoutine(handlers, window.id, unit.id, binding.eventIndex);
        if (!binding.routine) ++unbound;
      }
    }
  }
  return unbound;
}

TemplateTable LoadTemplateBlock(std::span<const uint8_t> block, std::span<const HandlerEntry> handlers,
                                size_t* unresolved) {
  TemplateReadResult result = ReadTemplateBlock(block);
  if (!result.Ok()) RuntimeErrorMessage("载入窗口模板数据段出错!");
  const size_t unbound = ResolveHandlers(result.table, handlers);
  if (unresolved) *unresolved = unbound;
  return std::move(result.table);
}

TemplateTable& ProgramTemplates() {
  static TemplateTable table;
  return table;
}

void LoadProgramTemplates(std::span<const uint8_t> block, std::span<const HandlerEntry> handlers) {
  size_t unresolved = 0;
  TemplateTable table = LoadTemplateBlock(block, handlers, &unresolved);
  if (unresolved > 0) RuntimeErrorMessage(kErrorUnresolvedHandlers);
  ProgramTemplates() = std::move(table);
}

}  // namespace runtime
