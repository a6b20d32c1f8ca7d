// Writes the seed corpora of the component fuzz targets (run by hand when they need to grow):
//   component_fuzz_seeds <tests/components/fuzz>
#include <cstdio>
#include <fstream>
#include <string>

#include "components/image/gif_writer.h"
#include "components/image/png_writer.h"
#include "components/object/object_properties.h"

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<gif_writer::Image> Frames() {
  std::vector<gif_writer::Image> images;
  for (int i = 0; i < 3; ++i) {
    gif_writer::Image image = gif_writer::Solid(i, i, 4, 3, static_cast<uint8_t>(i + 1));
    image.indexes[5] = 0;
    image.control = true;
    image.disposal = i + 1;
    image.transparent = i == 1;
    image.delay = i * 3;
    images.push_back(image);
  }
  images[2].interlaced = true;
  images[2].colors = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
  return images;
}

void GifSeeds(const std::string& dir) {
  const std::vector<uint32_t> colors = {0, 0xFF0000, 0x00FF00, 0x0000FF};
  Save(dir + "/three_frames.gif", gif_writer::Encode(8, 6, colors, Frames()));
  gif_writer::Options old;
  old.version = "GIF87a";
  Save(dir + "/gif87a.gif", gif_writer::Encode(3, 2, colors, {gif_writer::Solid(0, 0, 3, 2, 2)}, old));
  Save(dir + "/no_global_table.gif", gif_writer::Encode(8, 6, {}, {Frames()[2]}));
  const std::vector<uint8_t> extensions = {0x21, 0xFE, 2, 'h', 'i', 0, 0x21, 0xFF, 3, 'a', 'b', 'c', 1, 0, 0};
  Save(dir + "/extensions.gif",
       gif_writer::Encode(2, 2, colors, {gif_writer::Solid(0, 0, 2, 2, 1)}, {}, extensions));
  gif_writer::Image noisy = gif_writer::Solid(0, 0, 64, 48, 0);
  uint32_t state = 5;
  for (auto& index : noisy.indexes) index = static_cast<uint8_t>((state = state * 1103515245 + 12345) >> 24);
  std::vector<uint32_t> gray(256);
  for (uint32_t i = 0; i < 256; ++i) gray[i] = i * 0x010101;
  gif_writer::Options deferred;
  deferred.deferredClear = true;
  Save(dir + "/deferred_clear.gif", gif_writer::Encode(64, 48, gray, {noisy}, deferred));
}

void LzwSeeds(const std::string& dir) {
  const std::vector<uint8_t> pixels = {1, 1, 1, 2, 1, 1, 2, 3, 3, 3, 3, 0, 1, 2, 3, 0};
  for (bool deferred : {false, true}) {
    std::vector<uint8_t> seed = {2, static_cast<uint8_t>(pixels.size()), 0};
    const auto data = gif_writer::Lzw(2, pixels, deferred);
    seed.insert(seed.end(), data.begin(), data.end());
    Save(dir + (deferred ? "/deferred.lzw" : "/small.lzw"), seed);
  }
  std::vector<uint8_t> big(5000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>((i * 7919) >> 5);
  std::vector<uint8_t> seed = {8, static_cast<uint8_t>(big.size()), static_cast<uint8_t>(big.size() >> 8)};
  const auto data = gif_writer::Lzw(8, big, true);
  seed.insert(seed.end(), data.begin(), data.end());
  Save(dir + "/full_table.lzw", seed);
}

void PngSeeds(const std::string& dir) {
  png_writer::Picture rgba;
  rgba.width = 3;
  rgba.height = 2;
  rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.rows = {1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0};
  Save(dir + "/rgba.png", png_writer::Encode(rgba));
  rgba.hasBackground = true;
  rgba.background.red = 200;
  rgba.interlaced = true;
  Save(dir + "/rgba_bkgd_interlaced.png", png_writer::Encode(rgba));
  png_writer::Picture palette;
  palette.width = 4;
  palette.height = 1;
  palette.colorType = PNG_COLOR_TYPE_PALETTE;
  palette.bitDepth = 2;
  palette.rows = {0x1B};
  palette.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  palette.paletteAlpha = {0, 128};
  Save(dir + "/palette_trns.png", png_writer::Encode(palette));
  png_writer::Picture gray16;
  gray16.width = 2;
  gray16.height = 2;
  gray16.colorType = PNG_COLOR_TYPE_GRAY;
  gray16.bitDepth = 16;
  gray16.rows = {0x12, 0x34, 0xFF, 0xFF, 0, 0, 0x80, 0};
  gray16.hasTransparentValue = true;
  gray16.transparentValue.gray = 0;
  Save(dir + "/gray16_trns.png", png_writer::Encode(gray16));
}

void ObjectDataSeeds(const std::string& dir) {
  components::ObjectProperties p;
  Save(dir + "/defaults.bin", components::WriteObjectData(p));
  p.SetData(components::kPropText, std::vector<uint8_t>{'h', 'i', '\n', 'x'});
  p.SetData(components::kPropPicture, std::vector<uint8_t>{'G', 'I', 'F'});
  p.SetValue(components::kPropAngle, 45);
  p.SetValue(components::kPropTurnType, 2);
  p.SetValue(components::kPropType, 9);
  auto v3 = components::WriteObjectData(p);
  Save(dir + "/version3.bin", v3);
  // Version 1: no type and no flip (the two 32-bit values after the first 16).
  auto v1 = v3;
  v1[0] = 1;
  v1.erase(v1.begin() + 4 + 16 * 4, v1.begin() + 4 + 18 * 4);
  Save(dir + "/version1.bin", v1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <fuzz folder>\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  GifSeeds(root + "/gif/corpus");
  LzwSeeds(root + "/lzw/corpus");
  PngSeeds(root + "/png/corpus");
  ObjectDataSeeds(root + "/object_data/corpus");
  return 0;
}
