// A check of bitmap files before they reach the system's picture loader: the loader trusts the
// header's sizes and offsets and reads past a buffer that is shorter than they claim, so a
// bitmap whose headers or pixel rows run past its bytes is refused here.
#pragma once

#include <cstdint>
#include <span>

namespace runtime {

// False only for bytes that begin with "BM" and whose file header, info header or (for
// uncompressed and bit-field bitmaps) pixel rows run past the end; true for everything else,
// which the loader judges for itself.
bool BitmapFileFits(std::span<const uint8_t> bytes);

}  // namespace runtime
