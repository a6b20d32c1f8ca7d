// The animation object's properties: the table the design environment and the form runtime
// read (index, name, kind, default), the clamping applied when a value is stored, and the
// stored property data (versions 1 to 3 read, version 3 written).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace components {

// Indexes as the property entry points number them (text = 0; the form runtime's common
// properties 0..7 come before them in the unit's own numbering).
enum ObjectProperty : int {
  kPropText,
  kPropFont,
  kPropTextColor,
  kPropPicture,
  kPropAutoGetTransColor,
  kPropTransparentColor,
  kPropPlayGif,
  kPropGifDelay,
  kPropGifAutoDestroy,
  kPropTrendColor,
  kPropTrendDepth,
  kPropLight,
  kPropAlpha,
  kPropZoom,
  kPropLayer,
  kPropAngle,
  kPropRotateFollow,
  kPropTurnType,
  kPropExistTime,
  kPropCreateSound,
  kPropDestroySound,
  kPropCollideAllowed,
  kPropCollidedSound,
  kPropType,
  kObjectPropertyCount
};

enum class PropertyKind {
  kText,            // text bytes
  kFont,            // a font record; applied when it is a 60-byte LOGFONT
  kColor,           // COLORREF
  kColorOrDefault,  // COLORREF, 0xFF000000 meaning none
  kPicture,         // picture bytes
  kSound,           // sound bytes
  kLogical,
  kInteger,
  kPick,  // an index into `picks`
};

struct PropertyInfo {
  const char* name;
  const char* label;  // the name shown in the design environment
  PropertyKind kind;
  int32_t defaultValue;  // for the kinds held as a 32-bit value
  const char* const* picks = nullptr;
  int pickCount = 0;
};

std::span<const PropertyInfo> ObjectPropertyTable();

// Whether the property is held as bytes (text, font, picture, sounds) rather than a 32-bit value.
bool IsDataProperty(int index);

// The value a 32-bit property stores for `value`: angles within -360..360, percentages of
// trend depth and transparency within 0..100, flip mode within 0..3, no negative delay, zoom or
// life time, logical values as 0 or 1.
int32_t ClampObjectValue(int index, int32_t value);

class ObjectProperties {
 public:
  ObjectProperties();  // every property at its default

  int32_t Value(int index) const;
  // Stores a 32-bit property with its clamping; false when nothing changed (or not such a property).
  bool SetValue(int index, int32_t value);

  std::span<const uint8_t> Data(int index) const;
  // Stores the bytes of a data property; false when not such a property.
  bool SetData(int index, std::span<const uint8_t> bytes);

  bool operator==(const ObjectProperties&) const = default;

 private:
  int32_t values_[kObjectPropertyCount];
  std::vector<uint8_t> data_[kObjectPropertyCount];
};

// Reads stored property data. Empty data gives the defaults. A version above 3, or data that
// ends before its last field, is rejected: false, and `out` keeps the defaults.
bool ReadObjectData(std::span<const uint8_t> data, ObjectProperties* out);

// The stored property data, version 3.
std::vector<uint8_t> WriteObjectData(const ObjectProperties& properties);

}  // namespace components
