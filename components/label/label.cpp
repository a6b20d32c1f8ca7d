// The transparent label's portable rules.
#include "components/label/label.h"

#include <iterator>
#include <string>

#include "runtime/forms/class_fields.h"

namespace components {
namespace {

using runtime::PropertyInfo;
using runtime::PropertyValue;

constexpr PropertyInfo kTable[kLabelPropertyCount] = {
    {"Caption", "Caption", nullptr, runtime::kKindText},
    {"TextEffect", "TextEffect", nullptr, runtime::kKindChoice},
    {"font", "font", nullptr, runtime::kKindFont},
    {"TextColor", "TextColor", nullptr, runtime::kKindColour},
    {"HorzAlign", "HorzAlign", nullptr, runtime::kKindChoice},
    {"WordWrap", "WordWrap", nullptr, runtime::kKindLogical},
    {"VertAlign", "VertAlign", nullptr, runtime::kKindChoice},
};

using runtime::ClassField;
using runtime::Field;

constexpr ClassField<LabelProperties> kFields[] = {
    Field<&LabelProperties::caption>(kLabelCaption),
    Field<&LabelProperties::textEffect>(kLabelTextEffect),
    Field<&LabelProperties::font>(kLabelFont),
    Field<&LabelProperties::textColour>(kLabelTextColour),
    Field<&LabelProperties::horizontalAlign>(kLabelHorizontalAlign),
    Field<&LabelProperties::wordWrap>(kLabelWordWrap),
    Field<&LabelProperties::verticalAlign>(kLabelVerticalAlign),
};
static_assert(std::size(kFields) == kLabelPropertyCount && kLabelCaption == runtime::kFirstClassProperty);

// Default character set, proof quality.
constexpr uint8_t kDefaultCharSet = 1;
constexpr uint8_t kProofQuality = 2;

}  // namespace

std::span<const PropertyInfo> LabelPropertyTable() { return kTable; }

PropertyValue GetLabelProperty(const LabelProperties& p, int k) {
  return runtime::GetField<LabelProperties>(kFields, p, k);
}

bool SetLabelProperty(LabelProperties& p, int k, const PropertyValue& value) {
  if (!runtime::SetField<LabelProperties>(kFields, p, k, value)) return false;
  ClampChoices(p);
  return true;
}

std::optional<runtime::FontRecord> LabelFont(std::span<const uint8_t> stored) {
  std::optional<runtime::FontRecord> font = runtime::ReadFontRecord(stored);
  if (!font) return std::nullopt;
  font->charSet = kDefaultCharSet;
  font->outPrecision = 0;
  font->clipPrecision = 0;
  font->quality = kProofQuality;
  font->pitchAndFamily = 0;
  return font;
}

TextPasses EffectPasses(int32_t effect, uint32_t textColor) {
  constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0;
  switch (runtime::ClampChoice(effect, kEffectNone, kEffectShadow)) {
    case kEffectEngraved:
      return {{{kWhite, 1, 1}, {textColor, 0, 0}}, 2};
    case kEffectEmbossed:
      return {{{kWhite, 0, 0}, {textColor, 1, 1}}, 2};
    case kEffectShadow:
      return {{{kBlack, 2, 2}, {textColor, 0, 0}}, 2};
    default:
      return {{{textColor, 0, 0}}, 1};
  }
}

void ConvertFaceName(runtime::Bytes& font, const runtime::TextConversion& conversion) {
  std::optional<runtime::FontRecord> record = runtime::ReadFontRecord(font);
  if (!record) return;
  record->SetFaceName(conversion(record->FaceName()));
  font = runtime::WriteFontRecord(*record);
}

runtime::Bytes ConvertLabelText(std::span<const uint8_t> data, const runtime::TextConversion& conversion) {
  ClassBlockRead<LabelProperties> read = ReadTransLabelBlock(data);
  if (!read.Ok()) return runtime::Bytes(data.begin(), data.end());
  LabelProperties& p = read.properties;
  p.caption = conversion(p.caption);
  ConvertFaceName(p.font, conversion);
  return WriteTransLabelBlock(p);
}

}  // namespace components
