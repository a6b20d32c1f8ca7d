// The animation box's properties as its stored property data holds them: the border, the
// background and the drawing state (pen, brush, text colours, raster operation, font), with the
// clamping applied when a value is stored. Versions 1 and 2 are read, version 2 is written.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace components {

// Indexes as the property entry points number them (border = 0).
enum BoxProperty : int {
  kBoxBorder,
  kBoxBackColor,
  kBoxPicture,
  kBoxPicDrawMode,
  kBoxPenStyle,
  kBoxDrawRop2,
  kBoxPenWidth,
  kBoxPenColor,
  kBoxBrushStyle,
  kBoxBrushColor,
  kBoxTextColor,
  kBoxTextBackColor,
  kBoxFont,
  kBoxPropertyCount
};

inline constexpr int32_t kBoxDataVersion = 2;

struct BoxProperties {
  int32_t border = 0;
  uint32_t backColor = 0xFF000000;  // the system's button-face colour
  int32_t picDrawMode = 0;
  int32_t penStyle = 1;
  int32_t drawRop2 = 12;
  int32_t penWidth = 0;
  uint32_t penColor = 0;
  int32_t brushStyle = 1;
  uint32_t brushColor = 0xFFFFFF;
  uint32_t textColor = 0;
  uint32_t textBackColor = 0xFF000000;  // transparent
  std::vector<uint8_t> font;            // a LOGFONT record when set
  std::vector<uint8_t> picture;

  // A 32-bit property's value, or 0 for the data properties and unknown indexes.
  int32_t Value(int index) const;
  // Stores a 32-bit property with its clamping; false when nothing changed or not such a property.
  bool SetValue(int index, int32_t value);

  bool operator==(const BoxProperties&) const = default;
};

// The value a 32-bit property stores: picks clamped to their lists, the pen width to 0..32767.
int32_t ClampBoxValue(int index, int32_t value);

// Reads stored property data. Empty data gives the defaults. A version above 2, or data that
// ends before its last field, is rejected whole: false, and `out` keeps the defaults.
bool ReadBoxData(std::span<const uint8_t> data, BoxProperties* out);

// The stored property data, version 2.
std::vector<uint8_t> WriteBoxData(const BoxProperties& properties);

}  // namespace components
