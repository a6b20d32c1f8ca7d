// GIF decoding. Blocks are read in order: graphic control extensions give the next image its
// disposal, transparency and delay; comment, plain-text and application extensions are skipped;
// each image is decoded (lzw_decoder.h), clipped to the logical screen and drawn onto the
// canvas. Disposal 2 and 3 both restore the area an image covered from a copy saved before it
// was drawn.
#include "components/image/gif_decoder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <vector>

#include "base/byte_reader.h"
#include "components/image/lzw_decoder.h"

namespace components {

using base::ByteReader;
namespace {

// Marks a palette entry that draws nothing (the transparent index).
constexpr uint32_t kSkip = 0xFFFFFFFF;
// Colours of indexes beyond the colour table (or of a file without any table): opaque black.
constexpr uint32_t kMissingColor = 0x00000000;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool Empty() const { return right <= left || bottom <= top; }
};

struct Control {
  int disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;
};

using Palette = std::array<uint32_t, 256>;

bool IsGifSignature(std::span<const uint8_t> s) {
  return s[0] == 'G' && s[1] == 'I' && s[2] == 'F' && s[3] == '8' && (s[4] == '7' || s[4] == '9') &&
         s[5] == 'a';
}

// Reads a colour table of `entries` RGB triples into the palette; the rest stay missing.
bool ReadColorTable(ByteReader& in, int entries, Palette* palette) {
  std::span<const uint8_t> rgb;
  if (!in.Bytes(static_cast<size_t>(entries) * 3, &rgb)) return false;
  palette->fill(kMissingColor);
  for (int i = 0; i < entries; ++i) {
    (*palette)[i] = (uint32_t{rgb[i * 3]} << 16) | (uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];
  }
  return true;
}

// Skips data sub-blocks up to and including the terminator.
bool SkipSubBlocks(ByteReader& in) {
  for (;;) {
    uint8_t size;
    if (!in.U8(&size)) return false;
    if (size == 0) return true;
    if (!in.Skip(size)) return false;
  }
}

// Joins the data sub-blocks of an image; false when they end before their terminator (what
// was read is kept, a truncated last image may still be whole).
bool GatherSubBlocks(ByteReader& in, std::vector<uint8_t>* data) {
  data->clear();
  for (;;) {
    uint8_t size;
    if (!in.U8(&size)) return false;
    if (size == 0) return true;
    std::span<const uint8_t> block;
    if (!in.Bytes(size, &block)) return false;
    data->insert(data->end(), block.begin(), block.end());
  }
}

// A graphic control extension (after its label): packed fields, delay, transparent index.
bool ReadControl(ByteReader& in, Control* control) {
  uint8_t size;
  if (!in.U8(&size)) return false;
  if (size == 0) return true;
  std::span<const uint8_t> block;
  if (!in.Bytes(size, &block)) return false;
  if (size >= 4) {
    control->disposal = (block[0] >> 2) & 7;
    control->transparent = (block[0] & 1) != 0;
    control->delay = static_cast<uint16_t>(block[1] | (block[2] << 8));
    control->transparentIndex = block[3];
  }
  return SkipSubBlocks(in);
}

// Stream row -> image row of an interlaced image (passes every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1).
void InterlacedRows(int height, std::vector<int>* rows) {
  rows->clear();
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows->push_back(y);
  }
}

class GifDecoder {
 public:
  GifDecoder(std::span<const uint8_t> bytes, size_t budget) : in_(bytes), budget_(budget) {}

  FrameSet Decode() {
    if (!ReadHeader()) return {};
    for (;;) {
      uint8_t introducer;
      if (!in_.U8(&introducer)) break;
      if (introducer == 0x3B) break;  // trailer
      bool goOn = false;
      if (introducer == 0x21) {
        goOn = ReadExtension();
      } else if (introducer == 0x2C) {
        goOn = ReadImage();
      }
      if (!goOn) break;
    }
    if (set_.frames.empty()) return {};
    return std::move(set_);
  }

 private:
  bool ReadHeader() {
    std::span<const uint8_t> signature;
    if (!in_.Bytes(6, &signature) || !IsGifSignature(signature)) return false;
    uint16_t width, height;
    uint8_t packed, background, aspect;
    if (!in_.U16(&width) || !in_.U16(&height) || !in_.U8(&packed) || !in_.U8(&background) ||
        !in_.U8(&aspect)) {
      return false;
    }
    if (FrameBytesWithin(width, height, 1, budget_) == 0) return false;
    global_.fill(kMissingColor);
    if ((packed & 0x80) && !ReadColorTable(in_, 2 << (packed & 7), &global_)) return false;
    set_.width = width;
    set_.height = height;
    return true;
  }

  bool ReadExtension() {
    uint8_t label;
    if (!in_.U8(&label)) return false;
    if (label == 0xF9) return ReadControl(in_, &control_);
    if (label == 0xFE || label == 0x01 || label == 0xFF) return SkipSubBlocks(in_);
    return false;  // an extension we do not know ends the picture
  }

  // One image block; whether the next block may be read. An image that cannot be read, or
  // whose frame would take the frames over the budget, ends the picture: the frames before it
  // are kept.
  bool ReadImage() {
    uint16_t left, top, width, height;
    uint8_t packed, minCodeSize;
    if (!in_.U16(&left) || !in_.U16(&top) || !in_.U16(&width) || !in_.U16(&height) || !in_.U8(&packed)) {
      return false;
    }
    Palette local;
    const Palette* palette = &global_;
    if (packed & 0x80) {
      if (!ReadColorTable(in_, 2 << (packed & 7), &local)) return false;
      palette = &local;
    }
    if (!in_.U8(&minCodeSize)) return false;
    const bool blocksWhole = GatherSubBlocks(in_, &data_);
    const int64_t frames = static_cast<int64_t>(set_.frames.size()) + 1;
    if (FrameBytesWithin(set_.width, set_.height, frames, budget_) == 0) return false;

    // The index buffer holds the whole image, parts off the screen included; it is bounded
    // like one frame of the largest screen.
    const size_t area = static_cast<size_t>(width) * height;
    if (area > budget_ / 4) return false;
    if (area > indexCapacity_) {
      // Not zeroed: every byte is written before it is read.
      indexes_ = std::make_unique_for_overwrite<uint8_t[]>(area);
      indexCapacity_ = area;
    }
    // Only a filled buffer is used, so the decoder may write past what it has decoded.
    const LzwResult lzw = DecodeLzwScribbling(minCodeSize, data_, {indexes_.get(), area});
    if (lzw.written < area) return false;  // a broken image ends the picture here

    const Rect rect = Clip(left, top, width, height);
    NewFrame();
    if (disposalBefore_ == 2 || disposalBefore_ == 3) Restore();
    if (control_.disposal == 2 || control_.disposal == 3) Save(rect);
    Draw(*palette, left, top, width, height, (packed & 0x40) != 0);
    disposalBefore_ = control_.disposal;
    control_ = Control{};
    return blocksWhole;
  }

  Rect Clip(int32_t left, int32_t top, int32_t width, int32_t height) const {
    Rect r{left, top, std::min(left + width, set_.width), std::min(top + height, set_.height)};
    if (r.left > r.right) r.right = r.left;
    if (r.top > r.bottom) r.bottom = r.top;
    return r;
  }

  void Save(const Rect& rect) {
    saved_ = rect;
    savedPixels_.clear();
    if (rect.Empty()) return;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      const uint32_t* row = Canvas() + static_cast<size_t>(y) * set_.width;
      savedPixels_.insert(savedPixels_.end(), row + rect.left, row + rect.right);
    }
  }

  void Restore() {
    if (saved_.Empty()) return;
    const size_t w = static_cast<size_t>(saved_.right - saved_.left);
    const uint32_t* from = savedPixels_.data();
    for (int32_t y = saved_.top; y < saved_.bottom; ++y, from += w) {
      std::copy(from, from + w, Canvas() + static_cast<size_t>(y) * set_.width + saved_.left);
    }
    saved_ = Rect{};
  }

  void Draw(const Palette& palette, int32_t left, int32_t top, int32_t width, int32_t height,
            bool interlaced) {
    Palette colors = palette;
    if (control_.transparent) colors[control_.transparentIndex] = kSkip;
    if (interlaced) InterlacedRows(height, &rows_);
    const int32_t right = std::min(left + width, set_.width);
    if (left >= right) return;
    for (int32_t r = 0; r < height; ++r) {
      const int32_t y = top + (interlaced ? rows_[r] : r);
      if (y >= set_.height) continue;
      const uint8_t* src = indexes_.get() + static_cast<size_t>(r) * width;
      uint32_t* dst = Canvas() + static_cast<size_t>(y) * set_.width + left;
      const int32_t n = right - left;
      if (!control_.transparent) {
        for (int32_t x = 0; x < n; ++x) dst[x] = colors[src[x]];
        continue;
      }
      // Rewriting a skipped pixel with itself keeps the loop free of hard-to-predict branches.
      for (int32_t x = 0; x < n; ++x) {
        const uint32_t c = colors[src[x]];
        dst[x] = c == kSkip ? dst[x] : c;
      }
    }
  }

  // The canvas is the newest frame: each image starts a frame as a copy of the one before
  // (the first as a fully transparent screen) and is drawn into it.
  void NewFrame() {
    Frame frame;
    frame.delay = control_.delay == 0 ? 50 : control_.delay * 10;
    if (set_.frames.empty()) {
      frame.pixels.assign(set_.PixelCount(), kTransparentPixel);
    } else {
      frame.pixels = set_.frames.back().pixels;
    }
    set_.frames.push_back(std::move(frame));
  }

  uint32_t* Canvas() { return set_.frames.back().pixels.data(); }

  ByteReader in_;
  size_t budget_;
  FrameSet set_;
  Palette global_{};
  Control control_;
  int disposalBefore_ = 0;
  Rect saved_;
  std::vector<uint32_t> savedPixels_;
  std::vector<uint8_t> data_;
  std::unique_ptr<uint8_t[]> indexes_;
  size_t indexCapacity_ = 0;
  std::vector<int> rows_;
};

}  // namespace

FrameSet DecodeGif(std::span<const uint8_t> bytes, size_t budget) {
  try {
    return GifDecoder(bytes, budget).Decode();
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace components
