// The animation object's unit rules that need no window.
#include "components/object/cartoon_object.h"

#include <array>

#include "components/image/transform.h"
#include "components/label/label.h"
#include "runtime/templates/font_record.h"

namespace components {
namespace {

using runtime::PropertyValue;

uint16_t RuntimeKind(PropertyKind kind) {
  switch (kind) {
    case PropertyKind::kText:
      return runtime::kKindText;
    case PropertyKind::kFont:
      return runtime::kKindFont;
    case PropertyKind::kColor:
      return runtime::kKindColour;
    case PropertyKind::kColorOrDefault:
      return runtime::kKindColourOrTransparent;
    case PropertyKind::kPicture:
      return runtime::kKindPicture;
    case PropertyKind::kSound:
      return runtime::kKindSound;
    case PropertyKind::kLogical:
      return runtime::kKindLogical;
    case PropertyKind::kPick:
      return runtime::kKindChoice;
    case PropertyKind::kInteger:
    default:
      return runtime::kKindInteger;
  }
}

bool HasPicture(const ObjectProperties& p) { return !p.Data(kPropPicture).empty(); }
bool HasText(const ObjectProperties& p) { return !p.Data(kPropText).empty(); }

// Changes that rebuild the image only in design mode, where the preview shows them.
bool ReshapesPreview(int k) {
  switch (k) {
    case kPropTrendDepth:
    case kPropZoom:
    case kPropTurnType:
    case kPropLight:
    case kPropAngle:
    case kPropRotateFollow:
      return true;
    default:
      return false;
  }
}

ObjectChange ChangeData(ObjectProperties& p, int k, std::span<const uint8_t> bytes) {
  p.SetData(k, bytes);
  switch (k) {
    case kPropText:
    case kPropPicture:
      return ObjectChange::kRebuild;
    case kPropFont:
      return bytes.size() == runtime::kFontRecordSize ? ObjectChange::kRebuild : ObjectChange::kStored;
    default:
      return ObjectChange::kStored;
  }
}

}  // namespace

std::span<const runtime::PropertyInfo> ObjectUnitPropertyTable() {
  static const std::array<runtime::PropertyInfo, kObjectPropertyCount> table = [] {
    std::array<runtime::PropertyInfo, kObjectPropertyCount> out{};
    for (int k = 0; k < kObjectPropertyCount; ++k) {
      const PropertyInfo& info = ObjectPropertyTable()[k];
      out[k] = {.name = info.label,
                .englishName = info.name,
                .kind = RuntimeKind(info.kind),
                .choices = info.picks};
    }
    return out;
  }();
  return table;
}

bool ObjectPropertyEnabled(const ObjectProperties& p, int k) {
  switch (k) {
    case kPropText:
      return !HasPicture(p);
    case kPropFont:
    case kPropTextColor:
      return HasText(p);
    case kPropPicture:
      return !HasText(p);
    case kPropAutoGetTransColor:
    case kPropPlayGif:
    case kPropGifDelay:
    case kPropGifAutoDestroy:
      return HasPicture(p);
    case kPropTransparentColor:
      return HasPicture(p) && p.Value(kPropAutoGetTransColor) == 0;
    case kPropCollidedSound:
      return p.Value(kPropCollideAllowed) != 0;
    default:
      return true;
  }
}

ObjectChange ChangeObjectProperty(ObjectProperties& p, int k, const PropertyValue& value, bool designMode) {
  if (k < 0 || k >= kObjectPropertyCount) return ObjectChange::kStored;
  if (IsDataProperty(k)) return ChangeData(p, k, value.bytes);
  const bool changed = p.SetValue(k, static_cast<int32_t>(value.number));
  switch (k) {
    case kPropAutoGetTransColor:
    case kPropTransparentColor:
      return ObjectChange::kRebuild;
    case kPropTextColor:
      return changed ? ObjectChange::kRebuild : ObjectChange::kStored;
    case kPropTrendColor:
      return designMode && p.Value(kPropTrendDepth) > 0 ? ObjectChange::kRebuild : ObjectChange::kStored;
    case kPropAlpha:
      return designMode ? ObjectChange::kRepaint : ObjectChange::kStored;
    case kPropPlayGif:
      return ObjectChange::kPreviewTimer;
    case kPropLight:
    case kPropAngle:
    case kPropRotateFollow:
      return designMode && changed ? ObjectChange::kRebuild : ObjectChange::kStored;
    default:
      return designMode && ReshapesPreview(k) ? ObjectChange::kRebuild : ObjectChange::kStored;
  }
}

PropertyValue GetObjectProperty(const ObjectProperties& p, int k) {
  if (k < 0 || k >= kObjectPropertyCount) return {};
  if (IsDataProperty(k)) {
    std::span<const uint8_t> bytes = p.Data(k);
    return PropertyValue{.bytes = runtime::Bytes(bytes.begin(), bytes.end())};
  }
  return PropertyValue{.number = p.Value(k)};
}

runtime::Bytes ConvertObjectText(std::span<const uint8_t> data, const runtime::TextConversion& conversion) {
  ObjectProperties p;
  if (!ReadObjectData(data, &p)) return runtime::Bytes(data.begin(), data.end());
  std::span<const uint8_t> text = p.Data(kPropText);
  const std::string converted =
      conversion(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
  p.SetData(kPropText, std::span(reinterpret_cast<const uint8_t*>(converted.data()), converted.size()));
  std::span<const uint8_t> stored = p.Data(kPropFont);
  runtime::Bytes font(stored.begin(), stored.end());
  ConvertFaceName(font, conversion);
  p.SetData(kPropFont, font);
  return WriteObjectData(p);
}

void TransformForPreview(FrameSet& image, const ObjectProperties& p) {
  Flip(image, p.Value(kPropTurnType));
  if (p.Value(kPropRotateFollow) && p.Value(kPropAngle) != 0) Rotate(image, p.Value(kPropAngle));
  Zoom(image, p.Value(kPropZoom), p.Value(kPropZoom));
  Trend(image, static_cast<uint32_t>(p.Value(kPropTrendColor)), p.Value(kPropTrendDepth));
  Brighten(image, p.Value(kPropLight));
}

std::string DialogFilter(std::string_view piped) {
  std::string out(piped);
  for (char& c : out) {
    if (c == '|') c = '\0';
  }
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

}  // namespace components
