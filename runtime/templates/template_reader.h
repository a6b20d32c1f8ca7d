// Reading the template block: the one place where the stored window templates are decoded.
// The reader trusts nothing in the block; every count, length and offset is checked against
// what is there before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/templates/window_template.h"

namespace runtime {

enum class TemplateError {
  kNone,
  kTruncated,      // an item runs past the end of the block, unit list or record
  kWindowTable,    // the window table's length is not a whole number of entries
  kUnitCount,      // a unit list with no units, or more than its body can hold
  kUnitOffset,     // a unit record that lies outside its list's body
  kTrailingBytes,  // bytes left after the last window record
};
const char* TemplateErrorText(TemplateError error);

struct TemplateReadResult {
  TemplateError error = TemplateError::kNone;
  size_t errorOffset = 0;  // where in the block the fault lies
  TemplateTable table;     // empty when the block was rejected

  bool Ok() const { return error == TemplateError::kNone; }
};

// Decodes a whole template block. Handler references are left as stored (routines nullptr).
// Never reads outside `block`; a malformed block gives an error, never a partial table.
TemplateReadResult ReadTemplateBlock(std::span<const uint8_t> block);

// One entry of the application's handler table.
struct HandlerEntry {
  uint32_t windowId;
  uint32_t unitId;
  int32_t eventIndex;
  EventRoutine routine;
};

// The table's routine for (window, unit, event), or nullptr.
EventRoutine FindRoutine(std::span<const HandlerEntry> handlers, uint32_t windowId, uint32_t unitId,
                         int32_t eventIndex);

// Turns every stored handler reference into its routine: kNoHandler into an empty binding,
// any other reference into the table's routine for the binding's (window, unit, event).
// Returns how many stored references found no routine; their bindings stay empty, so those
// events are not dispatched (a program whose handlers are not all written yet still runs; a
// test of the application's table expects 0).
size_t ResolveHandlers(TemplateTable& table, std::span<const HandlerEntry> handlers);

// Reads the block and resolves its handlers. A block that cannot be read is the runtime
// error "载入窗口模板数据段出错!", which ends the process. A reference that no routine resolves
// leaves its binding empty (a block from elsewhere, a tool's or a fuzzer's, still loads);
// *unresolved, when given, receives how many there were.
TemplateTable LoadTemplateBlock(std::span<const uint8_t> block, std::span<const HandlerEntry> handlers,
                                size_t* unresolved = nullptr);

inline constexpr char kErrorUnresolvedHandlers[] = "窗口模板中有事件处理子程序未能找到";

// The program's templates: loaded once at start-up and kept for the life of the process (the
// table holds its own copies of everything in the block). The program's own block must resolve
// completely against its handler table: a reference left unresolved would silently unbind an
// event, so it is the runtime error kErrorUnresolvedHandlers and start-up fails.
void LoadProgramTemplates(std::span<const uint8_t> block, std::span<const HandlerEntry> handlers);
TemplateTable& ProgramTemplates();

}  // namespace runtime
