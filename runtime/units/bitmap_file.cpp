// Checking a bitmap file's sizes against its bytes.
#include "runtime/units/bitmap_file.h"

#include <cstdlib>

namespace runtime {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kCoreHeader = 12, kInfoHeader = 40;
constexpr uint32_t kUncompressed = 0, kBitFields = 3;

// Little-endian fields at an offset the caller has checked.
uint32_t U16At(std::span<const uint8_t> b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32At(std::span<const uint8_t> b, size_t at) { return U16At(b, at) | (U16At(b, at + 2) << 16); }

}  // namespace

bool BitmapFileFits(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return true;
  if (bytes.size() < kFileHeader + 4) return false;
  const uint64_t pixelsAt = U32At(bytes, 10);
  const uint64_t infoSize = U32At(bytes, kFileHeader);
  if (infoSize < kCoreHeader || kFileHeader + infoSize > bytes.size() || pixelsAt > bytes.size())
    return false;
  uint64_t width, height;
  uint32_t bitCount, compression = kUncompressed;
  if (infoSize < kInfoHeader) {
    width = U16At(bytes, kFileHeader + 4);
    height = U16At(bytes, kFileHeader + 6);
    bitCount = U16At(bytes, kFileHeader + 10);
  } else {
    width = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(U32At(bytes, kFileHeader + 4))));
    height = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(U32At(bytes, kFileHeader + 8))));
    bitCount = U16At(bytes, kFileHeader + 14);
    compression = U32At(bytes, kFileHeader + 16);
  }
  // Compressed rows (run lengths, JPEG, PNG) have no size to check here.
  if (compression != kUncompressed && compression != kBitFields) return true;
  if (bitCount > 32) return false;
  const uint64_t stride = (width * bitCount + 31) / 32 * 4;  // below 2^34
  return height == 0 || stride <= (bytes.size() - pixelsAt) / height;
}

}  // namespace runtime
