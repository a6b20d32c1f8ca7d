// The transparent label's rules that need no window: its property table, reading and storing
// class properties with their clamping, the font it draws with, the passes of its text effects,
// and the text conversion of its stored data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "components/label/label_properties.h"
#include "runtime/forms/unit_class.h"
#include "runtime/templates/font_record.h"

namespace components {

using LabelProperties = TransLabelProperties;

// Class property k as the entry points number them (Caption = 0) of a property index.
constexpr int LabelK(TransLabelProperty index) { return index - kLabelCaption; }
inline constexpr int kLabelPropertyCount = kLabelVerticalAlign - kLabelCaption + 1;

enum LabelEffect : int32_t { kEffectNone, kEffectEngraved, kEffectEmbossed, kEffectShadow };

std::span<const runtime::PropertyInfo> LabelPropertyTable();

// Class property k; an unknown k gives an empty value.
runtime::PropertyValue GetLabelProperty(const LabelProperties& p, int k);
// Stores a new value of class property k, picks clamped to their ranges; false for an unknown k.
bool SetLabelProperty(LabelProperties& p, int k, const runtime::PropertyValue& value);

// The font the label draws with: the stored 60-byte record with the character set forced to
// the default set, output and clip precision 0, proof quality and pitch-and-family 0 (a face
// name in a national character set then still draws). Nothing for any other length.
std::optional<runtime::FontRecord> LabelFont(std::span<const uint8_t> stored);

// One drawing of the text: its colour (COLORREF) and the offset of the client rectangle.
struct TextPass {
  uint32_t color = 0;
  int32_t dx = 0, dy = 0;
  bool operator==(const TextPass&) const = default;
};
struct TextPasses {
  TextPass pass[2];
  int count = 0;
};
// The passes of an effect, in drawing order: the relief or shadow first, the text last.
TextPasses EffectPasses(int32_t effect, uint32_t textColor);

// The design environment's text conversion: the caption, then the face name of a 60-byte
// font, through `conversion`; the data written anew. Data that cannot be read (a newer version,
// fields running past the end) comes back unchanged, so nothing stored is lost.
runtime::Bytes ConvertLabelText(std::span<const uint8_t> data, const runtime::TextConversion& conversion);

// A stored 60-byte font record with its face name converted; other lengths are left alone.
void ConvertFaceName(runtime::Bytes& font, const runtime::TextConversion& conversion);

}  // namespace components
