// Colours shared by every room, as COLORREF values (0x00BBGGRR).
#pragma once

#include <cstdint>

namespace base {

// In a colour property: no colour (the default colour, no transparent colour, or transparent,
// as the property says).
inline constexpr uint32_t kNoColor = 0xFF000000;

}  // namespace base
