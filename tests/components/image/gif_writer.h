// A small GIF encoder for tests, benchmarks and fuzz seeds: images with global or local colour
// tables, graphic control extensions, interlacing, and an LZW encoder that can either send a
// clear code when its table is full or keep the full table ("deferred clear").
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace gif_writer {

struct Image {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indexes;  // width x height, rows top to bottom as shown
  std::vector<uint32_t> colors;  // a local colour table (0xRRGGBB), none when empty
  bool interlaced = false;
  bool control = false;  // write a graphic control extension before the image
  int disposal = 0;
  bool transparent = false;
  int transparentIndex = 0;
  int delay = 0;        // hundredths of a second
  int minCodeSize = 0;  // 0: from the table size
};

struct Options {
  std::string version = "GIF89a";
  bool deferredClear = false;
  bool trailer = true;
};

// Packs codes LSB first.
class BitWriter {
 public:
  void Put(uint32_t code, int bits) {
    buffer_ |= static_cast<uint64_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (count_ > 0) bytes_.push_back(static_cast<uint8_t>(buffer_));
    count_ = 0;
    buffer_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t buffer_ = 0;
  int count_ = 0;
};

// LZW data (without sub-block framing) of the indexes.
inline std::vector<uint8_t> Lzw(int minCodeSize, std::span<const uint8_t> indexes,
                                bool deferredClear = false) {
  const uint32_t clear = 1u << minCodeSize, end = clear + 1;
  BitWriter out;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  int bits = minCodeSize + 1;
  uint32_t next = clear + 2;
  out.Put(clear, bits);
  if (indexes.empty()) {
    out.Put(end, bits);
    return out.Finish();
  }
  uint32_t current = indexes[0];
  for (size_t i = 1; i < indexes.size(); ++i) {
    const auto found = table.find({current, indexes[i]});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    out.Put(current, bits);
    if (next < 4096) {
      table[{current, indexes[i]}] = next++;
      if (next > (1u << bits) && bits < 12) ++bits;
    } else if (!deferredClear) {
      out.Put(clear, bits);
      table.clear();
      bits = minCodeSize + 1;
      next = clear + 2;
    }
    current = indexes[i];
  }
  out.Put(current, bits);
  // The decoder makes one more entry on reading the last code; its width may grow with it.
  if (next < 4096 && next + 1 > (1u << bits) && bits < 12) ++bits;
  out.Put(end, bits);
  return out.Finish();
}

inline void PutU16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutSubBlocks(std::vector<uint8_t>& out, std::span<const uint8_t> data) {
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + at, data.begin() + at + n);
  }
  out.push_back(0);
}

// Size field of a colour table: 2^(field + 1) entries hold `count` colours.
inline int TableField(size_t count) {
  int field = 0;
  while ((2u << field) < count) ++field;
  return field;
}

inline void PutTable(std::vector<uint8_t>& out, const std::vector<uint32_t>& colors) {
  const size_t entries = 2u << TableField(colors.size());
  for (size_t i = 0; i < entries; ++i) {
    const uint32_t c = i < colors.size() ? colors[i] : 0;
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c));
  }
}

// Rows of an interlaced image in the order they are stored.
inline std::vector<int> InterlacedOrder(int height) {
  std::vector<int> rows;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
  return rows;
}

inline void PutImage(std::vector<uint8_t>& out, const Image& image, size_t globalColors,
                     const Options& options) {
  if (image.control) {
    out.insert(out.end(), {0x21, 0xF9, 4});
    out.push_back(static_cast<uint8_t>((image.disposal << 2) | (image.transparent ? 1 : 0)));
    PutU16(out, image.delay);
    out.push_back(static_cast<uint8_t>(image.transparentIndex));
    out.push_back(0);
  }
  out.push_back(0x2C);
  PutU16(out, image.left);
  PutU16(out, image.top);
  PutU16(out, image.width);
  PutU16(out, image.height);
  uint8_t packed = image.interlaced ? 0x40 : 0;
  if (!image.colors.empty()) packed |= static_cast<uint8_t>(0x80 | TableField(image.colors.size()));
  out.push_back(packed);
  if (!image.colors.empty()) PutTable(out, image.colors);
  const size_t colors = image.colors.empty() ? globalColors : image.colors.size();
  const int minCodeSize = image.minCodeSize ? image.minCodeSize : std::max(2, TableField(colors) + 1);
  out.push_back(static_cast<uint8_t>(minCodeSize));
  std::vector<uint8_t> stored = image.indexes;
  if (image.interlaced) {
    const std::vector<int> order = InterlacedOrder(image.height);
    for (int k = 0; k < image.height; ++k) {
      std::copy_n(image.indexes.begin() + static_cast<ptrdiff_t>(order[k]) * image.width, image.width,
                  stored.begin() + static_cast<ptrdiff_t>(k) * image.width);
    }
  }
  PutSubBlocks(out, Lzw(minCodeSize, stored, options.deferredClear));
}

// A whole file. `blocks` are raw bytes written after the header (extensions of any kind).
inline std::vector<uint8_t> Encode(int width, int height, const std::vector<uint32_t>& globalColors,
                                   const std::vector<Image>& images, const Options& options = {},
                                   const std::vector<uint8_t>& blocks = {}) {
  std::vector<uint8_t> out(options.version.begin(), options.version.end());
  PutU16(out, width);
  PutU16(out, height);
  out.push_back(globalColors.empty() ? 0
                                     : static_cast<uint8_t>(0x80 | 0x70 | TableField(globalColors.size())));
  out.push_back(0);
  out.push_back(0);
  if (!globalColors.empty()) PutTable(out, globalColors);
  out.insert(out.end(), blocks.begin(), blocks.end());
  for (const Image& image : images) PutImage(out, image, globalColors.size(), options);
  if (options.trailer) out.push_back(0x3B);
  return out;
}

// An image of one index everywhere.
inline Image Solid(int left, int top, int width, int height, uint8_t index) {
  Image image;
  image.left = left;
  image.top = top;
  image.width = width;
  image.height = height;
  image.indexes.assign(static_cast<size_t>(width) * height, index);
  return image;
}

}  // namespace gif_writer
