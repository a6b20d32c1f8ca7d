// Our GIF decoder against giflib (DGifSlurp plus compositing by the same rules) on generated
// files: some written by our test encoder, some by giflib's own encoder (EGifSpew).
#include <gtest/gtest.h>

#include <random>

#include "components/image/gif_decoder.h"
#include "gif_writer.h"
#include "giflib_reference.h"

using namespace components;

namespace {

void ExpectSameCanvases(const std::vector<uint8_t>& file, const std::string& what) {
  const giflib_reference::Result reference = giflib_reference::Decode(file);
  ASSERT_TRUE(reference.ok) << what;
  const FrameSet ours = DecodeGif(file);
  ASSERT_EQ(ours.width, reference.width) << what;
  ASSERT_EQ(ours.height, reference.height) << what;
  ASSERT_EQ(ours.frames.size(), reference.frames.size()) << what;
  for (size_t f = 0; f < ours.frames.size(); ++f) {
    EXPECT_EQ(ours.frames[f].delay, reference.frames[f].delay) << what << " frame " << f;
    EXPECT_TRUE(ours.frames[f].pixels == reference.frames[f].pixels) << what << " frame " << f;
  }
}

std::vector<uint32_t> RandomColors(std::mt19937& random, size_t n) {
  std::vector<uint32_t> colors(n);
  for (auto& c : colors) c = random() & 0xFFFFFF;
  return colors;
}

// An image of random placement (partly off the screen at times), content and control fields.
gif_writer::Image RandomImage(std::mt19937& random, int screenW, int screenH, int colors) {
  gif_writer::Image image;
  image.width = 1 + static_cast<int>(random() % (screenW + 4));
  image.height = 1 + static_cast<int>(random() % (screenH + 4));
  image.left = static_cast<int>(random() % screenW);
  image.top = static_cast<int>(random() % screenH);
  image.indexes.resize(static_cast<size_t>(image.width) * image.height);
  // Runs of one index with noise, so that strings of every length occur.
  uint8_t index = 0;
  for (auto& i : image.indexes) {
    if (random() % 5 == 0) index = static_cast<uint8_t>(random() % colors);
    i = index;
  }
  image.interlaced = random() % 3 == 0;
  image.control = random() % 4 != 0;
  image.disposal = static_cast<int>(random() % 4);
  image.transparent = random() % 2 == 0;
  image.transparentIndex = static_cast<int>(random() % colors);
  image.delay = static_cast<int>(random() % 3) * 5;
  if (random() % 4 == 0) image.colors = RandomColors(random, static_cast<size_t>(colors));
  return image;
}

TEST(GifAgainstGiflib, FilesOfOurEncoder) {
  std::mt19937 random(2024);
  for (int n = 0; n < 60; ++n) {
    const int w = 1 + static_cast<int>(random() % 70), h = 1 + static_cast<int>(random() % 50);
    const int colors = 2 << (random() % 8);
    std::vector<gif_writer::Image> images;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) images.push_back(RandomImage(random, w, h, colors));
    gif_writer::Options options;
    options.deferredClear = random() % 2 == 0;
    options.version = random() % 4 == 0 ? "GIF87a" : "GIF89a";
    const bool global = random() % 5 != 0;
    if (!global) {
      for (auto& image : images) image.colors = RandomColors(random, static_cast<size_t>(colors));
    }
    const auto file = gif_writer::Encode(
        w, h, global ? RandomColors(random, colors) : std::vector<uint32_t>{}, images, options);
    ExpectSameCanvases(file, "file " + std::to_string(n));
  }
}

int WriteMemory(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + length);
  return length;
}

ColorMapObject* GiflibMap(std::mt19937& random, int count) {
  std::vector<GifColorType> colors(static_cast<size_t>(count));
  for (auto& c : colors)
    c = {static_cast<GifByteType>(random()), static_cast<GifByteType>(random()),
         static_cast<GifByteType>(random())};
  return GifMakeMapObject(count, colors.data());
}

// Writes one image through giflib's encoder, rows in stored order.
bool PutGiflibImage(GifFileType* gif, std::mt19937& random, const gif_writer::Image& image, int colors) {
  if (image.control) {
    GraphicsControlBlock gcb{image.disposal, false, image.delay,
                             image.transparent ? image.transparentIndex : NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK) return false;
  }
  ColorMapObject* local = image.colors.empty() ? nullptr : GiflibMap(random, colors);
  const bool described = EGifPutImageDesc(gif, image.left, image.top, image.width, image.height,
                                          image.interlaced, local) == GIF_OK;
  GifFreeMapObject(local);
  if (!described) return false;
  const std::vector<int> rows = image.interlaced ? gif_writer::InterlacedOrder(image.height) : [&] {
    std::vector<int> all(static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) all[y] = y;
    return all;
  }();
  for (int y : rows) {
    auto* row = const_cast<GifPixelType*>(image.indexes.data() + static_cast<size_t>(y) * image.width);
    if (EGifPutLine(gif, row, image.width) != GIF_OK) return false;
  }
  // giflib keeps its own copy of a local table and does not free it before the next image.
  GifFreeMapObject(gif->Image.ColorMap);
  gif->Image.ColorMap = nullptr;
  return true;
}

// A file written by giflib's encoder from random images.
std::vector<uint8_t> GiflibFile(std::mt19937& random) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
  if (!gif) return out;
  EGifSetGifVersion(gif, true);
  const int w = 1 + static_cast<int>(random() % 80), h = 1 + static_cast<int>(random() % 60);
  const int colors = 2 << (random() % 8);
  ColorMapObject* screen = GiflibMap(random, colors);
  bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, screen) == GIF_OK;
  GifFreeMapObject(screen);
  const int count = 1 + static_cast<int>(random() % 5);
  for (int i = 0; ok && i < count; ++i)
    ok = PutGiflibImage(gif, random, RandomImage(random, w, h, colors), colors);
  if (EGifCloseFile(gif, &error) != GIF_OK || !ok) out.clear();
  return out;
}

TEST(GifAgainstGiflib, FilesOfGiflibsEncoder) {
  std::mt19937 random(99);
  for (int n = 0; n < 40; ++n) {
    const auto file = GiflibFile(random);
    ASSERT_FALSE(file.empty());
    ExpectSameCanvases(file, "giflib file " + std::to_string(n));
  }
}

}  // namespace
