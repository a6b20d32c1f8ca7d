// A template block as readable text, for maintainers (the template-dump tool) and tests:
// windows, units with ids, names, classes, positions, flags, event bindings and the decoded
// class properties.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tools {

struct DumpOptions {
  // Shows a stored text (quotes included). The default keeps printable ASCII and writes every
  // other byte as \xNN; the tool passes one that converts from the system code page.
  std::function<std::string(std::string_view bytes)> quote;
  // The name of the routine behind a stored handler reference, or empty when unknown.
  std::function<std::string(uint32_t reference)> handlerName;
};

std::string QuoteEscaped(std::string_view bytes);

// The first line reads "template block: N bytes, W windows", or names the fault when the
// block cannot be read.
std::string DumpTemplateBlock(std::span<const uint8_t> block, const DumpOptions& options = {});

}  // namespace tools
