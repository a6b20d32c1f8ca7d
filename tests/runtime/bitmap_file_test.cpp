// The bitmap check ahead of the system's picture loader.
#include "runtime/units/bitmap_file.h"

#include <gtest/gtest.h>

#include <vector>

using runtime::BitmapFileFits;

namespace {

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A 24-bit bitmap file of w x h whose pixel rows take `rowBytes` bytes in all.
std::vector<uint8_t> Bmp(int32_t w, int32_t h, size_t rowBytes, uint32_t compression = 0,
                         uint16_t bits = 24) {
  std::vector<uint8_t> out = {'B', 'M'};
  Put(out, static_cast<uint32_t>(54 + rowBytes), 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, 40, 4);
  Put(out, static_cast<uint32_t>(w), 4);
  Put(out, static_cast<uint32_t>(h), 4);
  Put(out, 1, 2);
  Put(out, bits, 2);
  Put(out, compression, 4);
  for (int i = 0; i < 5; ++i) Put(out, 0, 4);
  out.resize(out.size() + rowBytes);
  return out;
}

TEST(BitmapFile, RowsAndHeadersMustFitTheBytes) {
  EXPECT_TRUE(BitmapFileFits(Bmp(3, 2, 2 * 12)));  // rows of 9 bytes padded to 12
  EXPECT_FALSE(BitmapFileFits(Bmp(3, 2, 2 * 12 - 1)));
  EXPECT_TRUE(BitmapFileFits(Bmp(3, -2, 2 * 12))) << "top-down";
  EXPECT_FALSE(BitmapFileFits(Bmp(0x7FFFFFFF, 0x7FFFFFFF, 16, 0, 32))) << "no overflow";
  EXPECT_FALSE(BitmapFileFits(Bmp(1, 1, 4, 0, 64)));
  EXPECT_TRUE(BitmapFileFits(Bmp(100, 100, 10, 1))) << "run lengths: the loader judges";
  std::vector<uint8_t> cut = Bmp(3, 2, 24);
  cut.resize(30);
  EXPECT_FALSE(BitmapFileFits(cut));
  cut.resize(17);
  EXPECT_FALSE(BitmapFileFits(cut));
  std::vector<uint8_t> farPixels = Bmp(1, 1, 4);
  farPixels[10] = 0xFF;  // pixel rows said to start past the end
  EXPECT_FALSE(BitmapFileFits(farPixels));
  EXPECT_TRUE(BitmapFileFits(std::vector<uint8_t>{'G', 'I', 'F'})) << "not a bitmap";
}

}  // namespace
