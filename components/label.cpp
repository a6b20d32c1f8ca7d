// The transparent label's portable rules.
#include "components/label.h"

#include <string>

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

PropertyValue Number(int64_t n) { return PropertyValue{.number = n}; }
int32_t Int(const PropertyValue& v) { return static_cast<int32_t>(v.number); }

// Default character set, proof quality.
constexpr uint8_t kDefaultCharSet = 1;
constexpr uint8_t kProofQuality = 2;

}  // namespace

std::span<const PropertyInfo> LabelPropertyTable() { return kTable; }

PropertyValue GetLabelProperty(const LabelProperties& p, int k) {
  switch (k + kLabelCaption) {
    case kLabelCaption:
      return PropertyValue{.bytes = runtime::Bytes(p.caption.begin(), p.caption.end())};
    case kLabelTextEffect:
      return Number(p.textEffect);
    case kLabelFont:
      return PropertyValue{.bytes = p.font};
    case kLabelTextColour:
      return Number(p.textColour);
    case kLabelHorizontalAlign:
      return Number(p.horizontalAlign);
    case kLabelWordWrap:
      return Number(p.wordWrap ? 1 : 0);
    case kLabelVerticalAlign:
      return Number(p.verticalAlign);
    default:
      return {};
  }
}

bool SetLabelProperty(LabelProperties& p, int k, const PropertyValue& value) {
  switch (k + kLabelCaption) {
    case kLabelCaption:
      p.caption.assign(value.bytes.begin(), value.bytes.end());
      break;
    case kLabelTextEffect:
      p.textEffect = Int(value);
      break;
    case kLabelFont:
      p.font = value.bytes;
      break;
    case kLabelTextColour:
      p.textColour = static_cast<uint32_t>(value.number);
      break;
    case kLabelHorizontalAlign:
      p.horizontalAlign = Int(value);
      break;
    case kLabelWordWrap:
      p.wordWrap = value.number != 0;
      break;
    case kLabelVerticalAlign:
      p.verticalAlign = Int(value);
      break;
    default:
      return false;
  }
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
