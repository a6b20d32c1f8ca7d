// The transparent label's stored data: its class property indexes, the properties with their
// defaults, and the class block read and written (version 1).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/byte_writer.h"
#include "runtime/templates/class_blocks.h"

namespace components {

using base::Bytes;
using base::PutI32;
using base::PutPrefixed;
using base::PutU32;
using runtime::ClampChoice;
using runtime::ClassBlockRead;

enum TransLabelProperty : int {
  kLabelCaption = 8,
  kLabelTextEffect = 9,
  kLabelFont = 10,
  kLabelTextColour = 11,
  kLabelHorizontalAlign = 12,
  kLabelWordWrap = 13,
  kLabelVerticalAlign = 14,
};

// "透明标签" in the system code page.
inline constexpr char kDefaultLabelCaption[] = "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9";

struct TransLabelProperties {
  static constexpr uint32_t kVersion = 1;

  int32_t textEffect = 0;  // 0 none, 1 engraved, 2 embossed, 3 shadow
  uint32_t textColour = 0;
  int32_t horizontalAlign = 0;  // 0 left, 1 centred, 2 right
  int32_t verticalAlign = 1;    // 0 top, 1 middle, 2 bottom
  bool wordWrap = false;
  Bytes font;  // a 60-byte font record; anything else means the default GUI font
  // The default applies only when there is no stored data; a stored empty caption stays empty.
  std::string caption = kDefaultLabelCaption;

  bool operator==(const TransLabelProperties&) const = default;
};

constexpr void ClampChoices(TransLabelProperties& p) {
  p.textEffect = ClampChoice(p.textEffect, 0, 3);
  p.horizontalAlign = ClampChoice(p.horizontalAlign, 0, 2);
  p.verticalAlign = ClampChoice(p.verticalAlign, 0, 2);
}

ClassBlockRead<TransLabelProperties> ReadTransLabelBlock(std::span<const uint8_t> block);

constexpr Bytes WriteTransLabelBlock(TransLabelProperties p) {
  ClampChoices(p);
  Bytes out;
  PutU32(out, TransLabelProperties::kVersion);
  PutI32(out, p.textEffect);
  PutU32(out, p.textColour);
  PutI32(out, p.horizontalAlign);
  PutI32(out, p.verticalAlign);
  PutI32(out, p.wordWrap ? 1 : 0);
  PutPrefixed(out, p.font);
  PutPrefixed(out, p.caption);
  return out;
}

}  // namespace components
