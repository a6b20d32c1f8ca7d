// A small PNG encoder for tests, benchmarks and fuzz seeds, over libpng's writer: any colour
// type and bit depth, with palette, tRNS, bKGD and interlacing.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

namespace png_writer {

struct Picture {
  int width = 0, height = 0;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;  // packed rows as stored, big-endian 16-bit samples
  std::vector<png_color> palette;
  std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image
  bool hasTransparentValue = false;   // tRNS of a grey or RGB image
  png_color_16 transparentValue{};
  bool hasBackground = false;
  png_color_16 background{};
  int compression = 6;
};

inline void WriteMemory(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

inline void Flush(png_structp) {}

inline size_t RowBytes(const Picture& p) {
  int channels = 1;
  if (p.colorType == PNG_COLOR_TYPE_RGB) channels = 3;
  if (p.colorType == PNG_COLOR_TYPE_RGB_ALPHA) channels = 4;
  if (p.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) channels = 2;
  return (static_cast<size_t>(p.width) * channels * p.bitDepth + 7) / 8;
}

// The file, or nothing when libpng refuses the picture.
inline std::vector<uint8_t> Encode(const Picture& p) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteMemory, Flush);
  png_set_compression_level(png, p.compression);
  png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colorType,
               p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!p.palette.empty()) png_set_PLTE(png, info, p.palette.data(), static_cast<int>(p.palette.size()));
  if (!p.paletteAlpha.empty()) {
    png_set_tRNS(png, info, p.paletteAlpha.data(), static_cast<int>(p.paletteAlpha.size()), nullptr);
  }
  if (p.hasTransparentValue) png_set_tRNS(png, info, nullptr, 0, &p.transparentValue);
  if (p.hasBackground) png_set_bKGD(png, info, &p.background);
  png_write_info(png, info);
  const size_t rowBytes = RowBytes(p);
  std::vector<png_bytep> rows(static_cast<size_t>(p.height));
  for (int y = 0; y < p.height; ++y) rows[y] = const_cast<png_bytep>(p.rows.data() + y * rowBytes);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace png_writer
