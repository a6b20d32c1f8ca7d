// The sprite image core side by side with the recognised fast references, on the same inputs:
// pixman for blending, rotation and zoom; giflib (DGifSlurp plus compositing to whole
// canvases) for GIF; libspng, stb_image and plain libpng for PNG.
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <spng.h>
#include <stb/stb_image.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "components/image/blend.h"
#include "components/image/gif_decoder.h"
#include "components/image/gif_writer.h"
#include "components/image/giflib_reference.h"
#include "components/image/png_decoder.h"
#include "components/image/png_writer.h"
#include "components/image/rotation_math.h"
#include "components/image/transform.h"

using namespace components;

namespace {

constexpr int kSide = 256, kScreenW = 800, kScreenH = 580;

// A 256 x 256 sprite: an opaque disc with a soft edge (transparency rising over 28 pixels),
// fully transparent corners; or translucent everywhere. Colours vary across it.
FrameSet Sprite(bool translucent) {
  FrameSet set;
  set.width = set.height = kSide;
  Frame& frame = set.frames.emplace_back();
  frame.pixels.resize(kSide * kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x - 127.5, y - 127.5);
      uint32_t amount = d < 100 ? 0 : d > 128 ? 255 : static_cast<uint32_t>((d - 100) * 255 / 28);
      if (translucent) amount = 60 + (x + y) % 120;
      frame.pixels[y * kSide + x] = (amount << 24) | (x << 16) | (y << 8) | ((x ^ y) & 0xFF);
    }
  }
  return set;
}

// Our pixels as pixman's premultiplied a8r8g8b8.
std::vector<uint32_t> Premultiplied(const FrameSet& set) {
  std::vector<uint32_t> out(set.frames[0].pixels.size());
  for (size_t i = 0; i < out.size(); ++i) {
    const uint32_t p = set.frames[0].pixels[i], a = 255 - (p >> 24);
    auto channel = [&](int shift) { return (((p >> shift) & 0xFF) * a + 127) / 255 << shift; };
    out[i] = (a << 24) | channel(16) | channel(8) | channel(0);
  }
  return out;
}

struct PixmanImage {
  pixman_image_t* image;
  explicit PixmanImage(pixman_image_t* i) : image(i) {}
  ~PixmanImage() { pixman_image_unref(image); }
};

void BM_Blend_Ours(benchmark::State& state) {
  const FrameSet sprite = Sprite(state.range(0));
  std::vector<uint32_t> screen(kScreenW * kScreenH, 0x00336699);
  const Surface dst{screen.data(), kScreenW, kScreenH, kScreenW};
  for (auto _ : state) {
    BlendFrame(sprite.frames[0], kSide, kSide, {0, 0, kSide, kSide}, dst, 300, 200, 0, kNoColor);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

// The same with the SSE2 row alone, for processors without AVX2 (BlendFrame takes the widest).
void BM_Blend_OursSse2(benchmark::State& state) {
  const FrameSet sprite = Sprite(state.range(0));
  std::vector<uint32_t> screen(kScreenW * kScreenH, 0x00336699);
  for (auto _ : state) {
    for (int y = 0; y < kSide; ++y) {
      BlendRowSse2(sprite.frames[0].pixels.data() + y * kSide, screen.data() + (200 + y) * kScreenW + 300,
                   kSide, 0, KeyOf(kNoColor));
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_Blend_Pixman(benchmark::State& state) {
  std::vector<uint32_t> source = Premultiplied(Sprite(state.range(0)));
  std::vector<uint32_t> screen(kScreenW * kScreenH, 0x00336699);
  PixmanImage src(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, source.data(), kSide * 4));
  PixmanImage dst(pixman_image_create_bits(PIXMAN_x8r8g8b8, kScreenW, kScreenH, screen.data(), kScreenW * 4));
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 300, 200, kSide,
                             kSide);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

// The box re-renders from its source: a copy of it is turned (a zoom alone reads the source).
void BM_Rotate_Ours(benchmark::State& state) {
  const FrameSet sprite = Sprite(false);
  for (auto _ : state) {
    FrameSet copy = sprite;
    Rotate(copy, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(copy.frames[0].pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

// pixman with the same inverse mapping (destination pixel -> source pixel) and nearest filter.
void BM_Rotate_Pixman(benchmark::State& state) {
  std::vector<uint32_t> source = Premultiplied(Sprite(false));
  PixmanImage src(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, source.data(), kSide * 4));
  const int degrees = static_cast<int>(state.range(0));
  RotationGeometry g{1, 0, 0, 0, kSide, kSide};
  if (degrees % 90 != 0) g = RotatedGeometry(kSide, kSide, degrees);
  if (degrees == 90) g = {0, 1, 0, -kSide, kSide, kSide};
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = pixman_double_to_fixed(g.cosine);
  t.matrix[0][1] = pixman_double_to_fixed(g.sine);
  t.matrix[0][2] = pixman_double_to_fixed(g.cosine * g.minX + g.sine * g.minY);
  t.matrix[1][0] = pixman_double_to_fixed(-g.sine);
  t.matrix[1][1] = pixman_double_to_fixed(g.cosine);
  t.matrix[1][2] = pixman_double_to_fixed(g.cosine * g.minY - g.sine * g.minX);
  pixman_image_set_transform(src.image, &t);
  pixman_image_set_filter(src.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    std::vector<uint32_t> out(static_cast<size_t>(g.width) * g.height);
    PixmanImage dst(pixman_image_create_bits(PIXMAN_a8r8g8b8, g.width, g.height, out.data(), g.width * 4));
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, g.width,
                             g.height);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_Zoom_Ours(benchmark::State& state) {
  const FrameSet sprite = Sprite(false);
  const int32_t factor = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    const FrameSet zoomed = Zoomed(sprite, factor, factor);
    benchmark::DoNotOptimize(zoomed.frames[0].pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_Zoom_Pixman(benchmark::State& state) {
  std::vector<uint32_t> source = Premultiplied(Sprite(false));
  PixmanImage src(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, source.data(), kSide * 4));
  const int32_t factor = static_cast<int32_t>(state.range(0));
  const int side = kSide * factor / 1000;
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(1000.0 / factor),
                              pixman_double_to_fixed(1000.0 / factor));
  pixman_image_set_transform(src.image, &t);
  pixman_image_set_filter(src.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    std::vector<uint32_t> out(static_cast<size_t>(side) * side);
    PixmanImage dst(pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, out.data(), side * 4));
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, side, side);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

// ---- GIF ----

// 30 frames on a 320 x 240 screen: a 120 x 90 image moving across, disposal 2 and 3 in turn,
// with a transparent index, over a full first frame kept in place.
const std::vector<uint8_t>& AnimatedGif() {
  static const std::vector<uint8_t> file = [] {
    std::mt19937 random(11);
    std::vector<uint32_t> colors(64);
    for (auto& c : colors) c = random() & 0xFFFFFF;
    std::vector<gif_writer::Image> images;
    gif_writer::Image background = gif_writer::Solid(0, 0, 320, 240, 0);
    for (size_t i = 0; i < background.indexes.size(); ++i)
      background.indexes[i] = static_cast<uint8_t>((i / 7) % 64);
    background.control = true;
    background.disposal = 1;
    images.push_back(background);
    for (int f = 1; f < 30; ++f) {
      gif_writer::Image image = gif_writer::Solid((f * 7) % 200, (f * 5) % 150, 120, 90, 0);
      uint8_t index = 0;
      for (auto& i : image.indexes) {
        if (random() % 6 == 0) index = static_cast<uint8_t>(random() % 64);
        i = index;
      }
      image.control = true;
      image.disposal = 2 + f % 2;
      image.transparent = true;
      image.transparentIndex = 5;
      image.delay = 4;
      images.push_back(image);
    }
    return gif_writer::Encode(320, 240, colors, images);
  }();
  return file;
}

// One 800 x 580 picture of short runs and noise: the decoding itself, not the canvases, counts.
const std::vector<uint8_t>& StillGif() {
  static const std::vector<uint8_t> file = [] {
    std::mt19937 random(12);
    std::vector<uint32_t> colors(256);
    for (auto& c : colors) c = random() & 0xFFFFFF;
    gif_writer::Image image = gif_writer::Solid(0, 0, 800, 580, 0);
    uint8_t index = 0;
    for (auto& i : image.indexes) {
      if (random() % 4 == 0) index = static_cast<uint8_t>(random() % 256);
      i = index;
    }
    return gif_writer::Encode(800, 580, colors, {image});
  }();
  return file;
}

const std::vector<uint8_t>& GifFile(int64_t which) { return which == 0 ? AnimatedGif() : StillGif(); }
const char* GifName(int64_t which) { return which == 0 ? "30 frames 320x240" : "one 800x580"; }

void BM_Gif_Ours(benchmark::State& state) {
  const std::vector<uint8_t>& file = GifFile(state.range(0));
  state.SetLabel(GifName(state.range(0)));
  for (auto _ : state) {
    const FrameSet set = DecodeGif(file);
    benchmark::DoNotOptimize(set.frames.data());
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_Gif_GiflibComposited(benchmark::State& state) {
  const std::vector<uint8_t>& file = GifFile(state.range(0));
  state.SetLabel(GifName(state.range(0)));
  for (auto _ : state) {
    const giflib_reference::Result result = giflib_reference::Decode(file);
    benchmark::DoNotOptimize(result.frames.data());
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

// ---- PNG ----

struct PngFile {
  const char* name;
  std::vector<uint8_t> bytes;
};

// An 800 x 580 picture with smooth areas, edges and some noise, as skins and sprites have.
png_writer::Picture Scene(int colorType, int bitDepth, bool interlaced) {
  png_writer::Picture p;
  p.width = 800;
  p.height = 580;
  p.colorType = colorType;
  p.bitDepth = bitDepth;
  p.interlaced = interlaced;
  std::mt19937 random(3);
  const int channels = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                       : colorType == PNG_COLOR_TYPE_PALETTE ? 1
                                                             : 3;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const int noise = static_cast<int>(random() % 9);
      const uint8_t v[4] = {static_cast<uint8_t>(x / 4 + noise), static_cast<uint8_t>(y / 3 + noise),
                            static_cast<uint8_t>(((x / 40 + y / 40) % 2) * 200),
                            static_cast<uint8_t>(x < 400 ? 255 : (x + y) % 256)};
      if (colorType == PNG_COLOR_TYPE_PALETTE) {
        p.rows.push_back(static_cast<uint8_t>((x / 16 + y / 16 + noise / 4) % 256));
        continue;
      }
      for (int c = 0; c < channels; ++c) {
        p.rows.push_back(v[c]);
        if (bitDepth == 16) p.rows.push_back(static_cast<uint8_t>(noise * 28));
      }
    }
  }
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 256; ++i)
      p.palette.push_back({static_cast<png_byte>(i), static_cast<png_byte>(255 - i), 128});
    p.paletteAlpha.assign(16, 0);
  }
  return p;
}

const std::vector<PngFile>& PngFiles() {
  static const std::vector<PngFile> files = [] {
    std::vector<PngFile> out;
    out.push_back({"rgba8", png_writer::Encode(Scene(PNG_COLOR_TYPE_RGB_ALPHA, 8, false))});
    out.push_back({"rgb8", png_writer::Encode(Scene(PNG_COLOR_TYPE_RGB, 8, false))});
    out.push_back({"palette_trns", png_writer::Encode(Scene(PNG_COLOR_TYPE_PALETTE, 8, false))});
    out.push_back({"rgb16", png_writer::Encode(Scene(PNG_COLOR_TYPE_RGB, 16, false))});
    out.push_back({"rgba8_interlaced", png_writer::Encode(Scene(PNG_COLOR_TYPE_RGB_ALPHA, 8, true))});
    return out;
  }();
  return files;
}

void BM_Png_Ours(benchmark::State& state) {
  const PngFile& file = PngFiles()[state.range(0)];
  state.SetLabel(file.name);
  for (auto _ : state) {
    const FrameSet set = DecodePng(file.bytes);
    if (set.Empty()) state.SkipWithError("no image");
    benchmark::DoNotOptimize(set.frames.data());
  }
}

struct Input {
  const uint8_t* data;
  size_t size, offset;
};

void ReadInput(png_structp png, png_bytep out, size_t n) {
  auto* in = static_cast<Input*>(png_get_io_ptr(png));
  if (n > in->size - in->offset) png_error(png, "truncated");
  std::memcpy(out, in->data + in->offset, n);
  in->offset += n;
}

// Plain libpng as its users write it: everything expanded to 8-bit RGBA, rows into one buffer.
bool PlainLibpng(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Input input{bytes.data(), bytes.size(), 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &input, ReadInput);
  png_read_info(png, info);
  png_set_strip_16(png);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint32_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  out.resize(static_cast<size_t>(w) * h * 4);
  rows.resize(h);
  for (uint32_t y = 0; y < h; ++y) rows[y] = out.data() + static_cast<size_t>(y) * w * 4;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

void BM_Png_PlainLibpng(benchmark::State& state) {
  const PngFile& file = PngFiles()[state.range(0)];
  state.SetLabel(file.name);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (!PlainLibpng(file.bytes, out)) state.SkipWithError("libpng failed");
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Png_Spng(benchmark::State& state) {
  const PngFile& file = PngFiles()[state.range(0)];
  state.SetLabel(file.name);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, file.bytes.data(), file.bytes.size());
    size_t size = 0;
    spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
    out.resize(size);
    if (spng_decode_image(ctx, out.data(), out.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0) {
      state.SkipWithError("libspng failed");
    }
    spng_ctx_free(ctx);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Png_StbImage(benchmark::State& state) {
  const PngFile& file = PngFiles()[state.range(0)];
  state.SetLabel(file.name);
  for (auto _ : state) {
    int w, h, n;
    stbi_uc* pixels =
        stbi_load_from_memory(file.bytes.data(), static_cast<int>(file.bytes.size()), &w, &h, &n, 4);
    if (!pixels) state.SkipWithError("stb_image failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

BENCHMARK(BM_Blend_Ours)->ArgName("translucent")->Arg(0)->Arg(1);
BENCHMARK(BM_Blend_OursSse2)->ArgName("translucent")->Arg(0)->Arg(1);
BENCHMARK(BM_Blend_Pixman)->ArgName("translucent")->Arg(0)->Arg(1);
BENCHMARK(BM_Rotate_Ours)->ArgName("degrees")->Arg(0)->Arg(30)->Arg(45)->Arg(90);
BENCHMARK(BM_Rotate_Pixman)->ArgName("degrees")->Arg(0)->Arg(30)->Arg(45)->Arg(90);
BENCHMARK(BM_Zoom_Ours)->ArgName("permille")->Arg(500)->Arg(1500)->Arg(2000);
BENCHMARK(BM_Zoom_Pixman)->ArgName("permille")->Arg(500)->Arg(1500)->Arg(2000);
BENCHMARK(BM_Gif_Ours)->DenseRange(0, 1);
BENCHMARK(BM_Gif_GiflibComposited)->DenseRange(0, 1);
BENCHMARK(BM_Png_Ours)->DenseRange(0, 4);
BENCHMARK(BM_Png_PlainLibpng)->DenseRange(0, 4);
BENCHMARK(BM_Png_Spng)->DenseRange(0, 4);
BENCHMARK(BM_Png_StbImage)->DenseRange(0, 4);

// Both GIF decoders must give the same canvases before their times mean anything.
bool SameGifCanvases(const std::vector<uint8_t>& file, size_t frames) {
  const FrameSet ours = DecodeGif(file);
  const giflib_reference::Result reference = giflib_reference::Decode(file);
  if (!reference.ok || ours.frames.size() != reference.frames.size() || ours.frames.size() != frames)
    return false;
  for (size_t f = 0; f < ours.frames.size(); ++f) {
    if (ours.frames[f].pixels != reference.frames[f].pixels ||
        ours.frames[f].delay != reference.frames[f].delay) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!SameGifCanvases(AnimatedGif(), 30) || !SameGifCanvases(StillGif(), 1)) {
    std::fprintf(stderr, "sprite_bench: our GIF canvases differ from giflib's\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
