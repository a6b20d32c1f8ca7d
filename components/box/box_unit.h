// The animation box as a unit, apart from its window: its property and event tables as the
// runtime takes them, which properties the design environment may edit, what a property change
// sets off, property values as the runtime exchanges them, and the drawing state's tables (pen
// styles, hatches and the 48 eight-by-eight brush patterns).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "components/box/box_properties.h"
#include "runtime/forms/unit_class.h"

namespace components {

// The runtime's description of the class properties (index 8 on) and of the box's 18 events.
std::span<const runtime::PropertyInfo> BoxUnitPropertyTable();
std::span<const runtime::EventInfo> BoxEventTable();

// Design-time enablement: `PicDrawMode` only while a background picture is set.
bool BoxPropertyEnabled(const BoxProperties& p, int k);

// What a stored change asks of the unit.
enum class BoxChange {
  kStored,      // nothing more
  kBorder,      // apply the border again
  kPen,         // make the pen again
  kBrush,       // make the brush again
  kFont,        // make the font again
  kBackground,  // render the background again and repaint the whole window
};

// Stores a new value of property k (counted from `border` = 0) with its clamping and says what
// follows. The pen and the brush are made again only when their value changed.
BoxChange ChangeBoxProperty(BoxProperties& p, int k, const runtime::PropertyValue& value);
// Property k as the runtime reads it: the value, or the bytes of `pic` and `font`.
runtime::PropertyValue GetBoxProperty(const BoxProperties& p, int k);

// The pen style value for `PenStyle` 0..6 (Windows' PS_ values; 0 "空笔" is passed as 8) and
// its width (0 for "空笔").
int32_t PenStyleValue(int32_t penStyle);
int32_t PenWidthFor(int32_t penStyle, int32_t penWidth);

// The hatch style (Windows' HS_ values) of `BrushStyle` 2..7, -1 for the others.
int32_t HatchStyleOf(int32_t brushStyle);

// Brush styles 8..55: an 8 x 8 monochrome pattern each, a row per byte, the leftmost pixel in
// the top bit, 1 where the pattern is drawn in the brush's colour.
inline constexpr int32_t kFirstPatternBrush = 8;
inline constexpr int kPatternBrushCount = 48;
using BrushPattern = std::array<uint8_t, 8>;
// The pattern of a brush style 8..55; nullptr for the other styles.
const BrushPattern* PatternOf(int32_t brushStyle);
// The names of the 56 brush styles, in order (the `BrushStyle` pick list).
std::span<const char* const> BrushStyleNames();

}  // namespace components
