// Value-kind conversions of class properties.
#include "runtime/forms/property_values.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "runtime/core/heap.h"
#include "runtime/core/values.h"
#include "runtime/templates/font_record.h"

namespace runtime {
namespace {

uint64_t Slot(const void* pointer) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer)); }
uint64_t Slot(int32_t number) { return static_cast<uint32_t>(number); }
template <typename T>
T* Pointer(uint64_t slot) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(slot));
}

// size × ppi / 72 and back, rounded to the nearest as the window system's MulDiv does.
int32_t Scale(int32_t value, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return 0;
  return static_cast<int32_t>(std::lround(static_cast<double>(value) * numerator / denominator));
}

bool IsIntegerLike(uint16_t kind) {
  return kind == kKindWord || kind == kKindInteger || kind == kKindChoice || kind == kKindColour ||
         kind == kKindColourOrTransparent || kind == kKindBackgroundColour;
}

bool IsByteSetKind(uint16_t kind) {
  return kind == kKindPicture || kind == kKindIcon || kind == kKindSound || kind == kKindData ||
         kind == kKindClassData || kind == kKindCursor;
}

uint64_t FontField(const FontValue& font, int32_t element) {
  switch (element) {
    case 0:
      return Slot(font.angle);
    case 1:
      return Slot(font.bold);
    case 2:
      return Slot(font.italic);
    case 3:
      return Slot(font.strikeOut);
    case 4:
      return Slot(font.underline);
    case 5:
      return Slot(font.size);
    case 6:
      return Slot(NewText(TextView(font.faceName)));
    default:
      return 0;
  }
}

}  // namespace

FontValue* NewFontValue(std::span<const uint8_t> fontRecord, int pixelsPerInch) {
  auto* font = static_cast<FontValue*>(Allocate(sizeof(FontValue)));
  *font = FontValue{};
  const std::optional<FontRecord> record = ReadFontRecord(fontRecord);
  if (!record) return font;
  font->angle = record->escapement / 10;
  font->bold = record->weight >= 700 ? 1 : 0;
  font->italic = record->italic ? 1 : 0;
  font->strikeOut = record->strikeOut ? 1 : 0;
  font->underline = record->underline ? 1 : 0;
  font->size = Scale(std::abs(record->height), 72, pixelsPerInch);
  font->faceName = NewText(record->FaceName());
  return font;
}

void FreeFontValue(FontValue* font) {
  if (!font) return;
  Free(font->faceName);
  Free(font);
}

Bytes FontRecordFromValue(const FontValue* font, int pixelsPerInch) {
  if (!font) return {};
  FontRecord record;
  record.height = -Scale(font->size, pixelsPerInch, 72);
  record.weight = font->bold ? 700 : 400;
  record.escapement = record.orientation = font->angle * 10;
  record.italic = font->italic ? 1 : 0;
  record.underline = font->underline ? 1 : 0;
  record.strikeOut = font->strikeOut ? 1 : 0;
  record.charSet = 1;  // the default character set: the face decides
  record.SetFaceName(TextView(font->faceName));
  return WriteFontRecord(record);
}

PropertyValue ValueForClass(uint16_t kind, uint64_t value, int pixelsPerInch) {
  PropertyValue out;
  const auto low = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (kind == kKindLogical) {
    out.number = low != 0 ? 1 : 0;
  } else if (kind == kKindChoice) {
    out.number = low < 0 ? 0 : low;
  } else if (IsIntegerLike(kind)) {
    out.number = low;
  } else if (kind == kKindLong || kind == kKindDateTime) {
    out.number = static_cast<int64_t>(value);
  } else if (IsByteSetKind(kind)) {
    std::span<const uint8_t> bytes = ByteSetView(Pointer<const uint8_t>(value));
    out.bytes.assign(bytes.begin(), bytes.end());
  } else if (kind == kKindFont) {
    out.bytes = FontRecordFromValue(Pointer<const FontValue>(value), pixelsPerInch);
  } else {
    std::string_view text = TextView(Pointer<const char>(value));
    out.bytes.assign(text.begin(), text.end());
  }
  return out;
}

uint64_t ValueForApplication(uint16_t kind, const PropertyValue& value, int32_t element, int pixelsPerInch) {
  if (kind == kKindLogical) return value.number == 1 ? 1 : 0;
  if (IsIntegerLike(kind)) return Slot(static_cast<int32_t>(value.number));
  if (kind == kKindLong || kind == kKindDateTime) return static_cast<uint64_t>(value.number);
  if (IsByteSetKind(kind)) return Slot(NewByteSet(value.bytes));
  if (kind == kKindFont) {
    FontValue* font = NewFontValue(value.bytes, pixelsPerInch);
    if (element < 0 || element >= kFontFieldCount) return Slot(font);
    const uint64_t field = FontField(*font, element);
    FreeFontValue(font);
    return field;
  }
  return Slot(
      NewText(std::string_view(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size())));
}

}  // namespace runtime
