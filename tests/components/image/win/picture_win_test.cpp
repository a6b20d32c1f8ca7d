// The OLE picture service: a bitmap in memory read back as a 32-bit frame.
#include "components/image/picture_win.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cstring>

#include "components/image/picture.h"

using namespace components;

namespace {

class OlePicture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A 24-bit bottom-up BMP file of the rows (0x00RRGGBB, top row first).
std::vector<uint8_t> Bmp(int w, int h, const std::vector<uint32_t>& pixels) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> out = {'B', 'M'};
  PutLe(out, 54 + stride * h, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, w, 4);
  PutLe(out, h, 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, stride * h, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) PutLe(out, pixels[y * w + x], 3);
    for (int pad = w * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

TEST_F(OlePicture, ABitmapComesBackTopDownAtItsOwnSize) {
  const std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x102030};
  OlePictureService service;
  const FrameSet set = service.Decode(Bmp(3, 2, pixels), kPictureBudget);
  ASSERT_FALSE(set.Empty());
  EXPECT_EQ(set.width, 3);
  EXPECT_EQ(set.height, 2);
  ASSERT_EQ(set.frames.size(), 1u);
  EXPECT_EQ(set.frames[0].pixels, pixels);
  EXPECT_EQ(set.frames[0].delay, 0);
  EXPECT_TRUE(service.Decode(Bmp(3, 2, pixels), 23).Empty());  // over a budget of 23 bytes
}

TEST_F(OlePicture, LoadPictureFallsBackToItAndTakesTheTopLeftColour) {
  OlePictureService service;
  const FrameSet set = LoadPicture(Bmp(2, 1, {0x0000FF, 0x123456}), kNoColor, true, &service);
  ASSERT_EQ(set.frames.size(), 1u);
  EXPECT_EQ(set.frames[0].transparentColor, 0x00FF0000u);  // blue as a COLORREF
  EXPECT_FALSE(IsOpaque(set.frames[0].pixels[0], KeyOf(set.frames[0].transparentColor)));
  EXPECT_TRUE(IsOpaque(set.frames[0].pixels[1], KeyOf(set.frames[0].transparentColor)));
}

TEST_F(OlePicture, BytesNoDecoderAcceptsGiveNoImage) {
  OlePictureService service;
  const std::vector<uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
  EXPECT_TRUE(service.Decode(junk, kPictureBudget).Empty());
  EXPECT_TRUE(service.Decode({}, kPictureBudget).Empty());
  auto truncated = Bmp(3, 2, std::vector<uint32_t>(6, 0));
  truncated.resize(30);
  EXPECT_TRUE(service.Decode(truncated, kPictureBudget).Empty());
}

// A 32-bit 16 x 16 icon file: opaque blue with a red top-left pixel.
std::vector<uint8_t> Icon() {
  std::vector<uint8_t> out;
  PutLe(out, 0, 2);
  PutLe(out, 1, 2);
  PutLe(out, 1, 2);
  const uint32_t imageBytes = 40 + 16 * 16 * 4 + 16 * 4;
  out.insert(out.end(), {16, 16, 0, 0});
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, imageBytes, 4);
  PutLe(out, 22, 4);
  PutLe(out, 40, 4);
  PutLe(out, 16, 4);
  PutLe(out, 32, 4);  // the colour and the mask, one above the other
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  for (int i = 0; i < 6; ++i) PutLe(out, 0, 4);
  for (int y = 15; y >= 0; --y) {
    for (int x = 0; x < 16; ++x) PutLe(out, x == 0 && y == 0 ? 0xFFFF0000 : 0xFF0000FF, 4);
  }
  for (int y = 0; y < 16; ++y) PutLe(out, 0, 4);  // nothing masked out
  return out;
}

TEST_F(OlePicture, AnIconIsDrawnAtItsOwnSize) {
  OlePictureService service;
  const FrameSet set = service.Decode(Icon(), kPictureBudget);
  ASSERT_FALSE(set.Empty());
  EXPECT_EQ(set.width, 16);
  EXPECT_EQ(set.height, 16);
  EXPECT_EQ(set.frames[0].pixels[0], 0x00FF0000u);
  EXPECT_EQ(set.frames[0].pixels[1], 0x000000FFu);
  EXPECT_EQ(set.frames[0].pixels[255], 0x000000FFu);
  EXPECT_TRUE(service.Decode(Icon(), 16 * 16 * 4 - 1).Empty());
}

}  // namespace
