// libpng reports errors by longjmp. The two functions that call into libpng after setjmp hold
// nothing with a destructor, and the callbacks only copy bytes or jump; every C++ object lives
// in DecodePng, which libpng never jumps out of.
#include "components/image/png_decoder.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

namespace components {
namespace {

// Beyond the picture budget, which bounds the area: no side above this, at most this many
// ancillary chunks kept, and no single chunk (iCCP, zTXt, ...) above this many bytes.
constexpr uint32_t kMaxSide = 1u << 20;
constexpr uint32_t kMaxCachedChunks = 128;
constexpr size_t kMaxChunkBytes = size_t{8} << 20;

struct Input {
  const uint8_t* data;
  size_t size;
  size_t offset;
};

struct Header {
  uint32_t width;
  uint32_t height;
  bool hasBackground;
  uint32_t background;  // pixel order, 8 bits per channel
};

void PNGCBAPI ReadInput(png_structp png, png_bytep out, size_t length) {
  auto* input = static_cast<Input*>(png_get_io_ptr(png));
  if (length > input->size - input->offset) png_error(png, "truncated");
  std::memcpy(out, input->data + input->offset, length);
  input->offset += length;
}

void PNGCBAPI OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PNGCBAPI OnWarning(png_structp, png_const_charp) {}

// An 8-bit sample of a bKGD value given at the image's bit depth.
uint32_t EightBit(uint32_t value, int bitDepth) {
  if (bitDepth == 16) return (value >> 8) & 0xFF;
  if (bitDepth == 8) return value & 0xFF;
  const uint32_t max = (1u << bitDepth) - 1;
  return (value & max) * (255 / max);
}

// The bKGD colour in pixel order; false when there is none or it names no palette entry.
bool BackgroundOf(png_structp png, png_infop info, uint32_t* color) {
  png_color_16p bkgd = nullptr;
  if (!png_get_bKGD(png, info, &bkgd) || !bkgd) return false;
  const int type = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int entries = 0;
    if (!png_get_PLTE(png, info, &palette, &entries) || bkgd->index >= entries) return false;
    const png_color& c = palette[bkgd->index];
    *color = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
    return true;
  }
  if ((type & PNG_COLOR_MASK_COLOR) == 0) {
    const uint32_t g = EightBit(bkgd->gray, depth);
    *color = (g << 16) | (g << 8) | g;
    return true;
  }
  *color =
      (EightBit(bkgd->red, depth) << 16) | (EightBit(bkgd->green, depth) << 8) | EightBit(bkgd->blue, depth);
  return true;
}

// Reads the header and sets the transforms that give R, G, B, alpha bytes per pixel.
// libpng may jump out of here: nothing with a destructor.
bool ReadHeader(png_structp png, png_infop info, Header* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  header->hasBackground = BackgroundOf(png, info, &header->background);
  const int type = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_expand(png);  // palette to RGB, grey to 8 bits, tRNS to alpha
  if ((type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque, for images without alpha
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  return png_get_rowbytes(png, info) == static_cast<size_t>(header->width) * 4;
}

// Decodes every row. libpng may jump out of here: nothing with a destructor.
bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

// Owns libpng's read and info structures.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngReader() {
    if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
  }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool ok() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// R, G, B, alpha bytes (read as 0xAABBGGRR) into pixel order with the transparency amount
// (0xTTRRGGBB, T = 255 - alpha): one pass that compilers vectorise, cheaper than libpng's own
// byte-wise swapping and inverting passes.
void ToPixelOrder(std::vector<uint32_t>& pixels) {
  for (uint32_t& p : pixels) {
    uint32_t v = p;
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    p = ((v & 0xFF) << 16) | ((v >> 16) & 0xFF) | (v & 0x0000FF00) | ((v & 0xFF000000) ^ 0xFF000000);
  }
}

// Mixes each pixel with the background by its alpha: (s a + b (255 - a)) / 255, rounded as
// libpng's own composition rounds; the result is opaque.
void CompositeOver(uint32_t background, std::vector<uint32_t>& pixels) {
  for (uint32_t& p : pixels) {
    const uint32_t alpha = 255 - (p >> 24);
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t s = (p >> shift) & 0xFF, b = (background >> shift) & 0xFF;
      const uint32_t t = s * alpha + b * (255 - alpha) + 128;
      out |= ((t + (t >> 8)) >> 8) << shift;
    }
    p = out;
  }
}

FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) {
  PngReader reader;
  if (!reader.ok()) return {};
  png_set_user_limits(reader.png(), kMaxSide, kMaxSide);
  png_set_chunk_cache_max(reader.png(), kMaxCachedChunks);
  png_set_chunk_malloc_max(reader.png(), kMaxChunkBytes);
  Input input{bytes.data(), bytes.size(), 0};
  png_set_read_fn(reader.png(), &input, ReadInput);

  Header header{};
  if (!ReadHeader(reader.png(), reader.info(), &header)) return {};
  if (FrameBytesWithin(header.width, header.height, 1, budget) == 0) return {};

  FrameSet set;
  set.width = static_cast<int32_t>(header.width);
  set.height = static_cast<int32_t>(header.height);
  Frame& frame = set.frames.emplace_back();
  frame.pixels.resize(set.PixelCount());
  std::vector<png_bytep> rows(header.height);
  for (uint32_t y = 0; y < header.height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(frame.pixels.data() + static_cast<size_t>(y) * header.width);
  }
  if (!ReadRows(reader.png(), rows.data())) return {};
  ToPixelOrder(frame.pixels);
  if (header.hasBackground) CompositeOver(header.background, frame.pixels);
  return set;
}

}  // namespace

FrameSet DecodePng(std::span<const uint8_t> bytes, size_t budget) {
  try {
    return Decode(bytes, budget);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace components
