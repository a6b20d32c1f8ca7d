// Class property values between the application and a class: a value the application writes
// (a 64-bit slot whose meaning the property's kind gives) becomes the class's PropertyValue,
// and what a class gives back becomes a 64-bit slot for the application (texts and byte-sets
// as new heap blocks that the application owns).
#pragma once

#include <cstdint>

#include "runtime/forms/unit_class.h"

namespace runtime {

// The font of a font property as the application sees it: a heap record of seven fields.
struct FontValue {
  int32_t angle = 0;  // degrees
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t strikeOut = 0;
  int32_t underline = 0;
  int32_t size = 0;          // points
  char* faceName = nullptr;  // a text value (owned by the record)
};
inline constexpr int32_t kFontFieldCount = 7;

// A new font record (heap) from a 60-byte font record; zeros and no face for other bytes.
FontValue* NewFontValue(std::span<const uint8_t> fontRecord, int pixelsPerInch);
// Frees a font record and its face name.
void FreeFontValue(FontValue* font);
// The 60-byte font record of a font value (nullptr: no font record, the default font).
Bytes FontRecordFromValue(const FontValue* font, int pixelsPerInch);

// The application's value converted to the property's kind: integers and colours as they are,
// logicals as 0 or 1, choices with negatives as 0, texts and byte-sets copied, fonts as
// 60-byte font records.
PropertyValue ValueForClass(uint16_t kind, uint64_t value, int pixelsPerInch);

// A class's value for the application: integer-like kinds as 32-bit integers, 64-bit kinds
// whole, logicals 1 only when the stored value is 1, pictures, icons, sounds, cursors and data
// as new byte-sets, fonts as a new font record (or, for element 0 to 6, that one field),
// everything else as a new text.
uint64_t ValueForApplication(uint16_t kind, const PropertyValue& value, int32_t element, int pixelsPerInch);

}  // namespace runtime
