// GIF's LZW. Every table entry is a string that has already been written to the output: the
// entry made after code X, written at position p, is the len(X) + 1 bytes starting at p (X's
// string and the first byte of the string after it). So the table keeps only where a string
// starts and its length, and decoding a code is a short copy within the output. Literal codes
// are entries too, pointing into a constant table, so that every code takes the same path.
#include "components/image/lzw_decoder.h"

#include <cstring>

namespace components {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;

// Reads codes LSB first from the bytes. The bit buffer is topped up eight bytes at a time
// while eight are left, so most codes cost one test, a mask and a shift.
class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}

  // False when fewer than `bits` bits are left.
  bool Read(int bits, uint32_t* code) {
    if (count_ < bits && !Refill(bits)) return false;
    *code = static_cast<uint32_t>(buffer_) & ((1u << bits) - 1);
    buffer_ >>= bits;
    count_ -= bits;
    return true;
  }

 private:
  bool Refill(int bits) {
    if (data_.size() - next_ >= 8) {
      uint64_t word;
      std::memcpy(&word, data_.data() + next_, 8);
      word = LittleEndian(word);
      // Whole bytes that fit above the bits still held (count_ < 12, so at least 6).
      const int take = (63 - count_) >> 3;
      // Bits above the count stay zero, as the byte-wise path below needs.
      buffer_ = (buffer_ | word << count_) & ((uint64_t{1} << (count_ + take * 8)) - 1);
      next_ += static_cast<size_t>(take);
      count_ += take * 8;
      return true;
    }
    while (count_ < bits) {
      if (next_ >= data_.size()) return false;
      buffer_ |= static_cast<uint64_t>(data_[next_++]) << count_;
      count_ += 8;
    }
    return true;
  }

  static uint64_t LittleEndian(uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_bswap64(word);
#else
    return word;
#endif
  }

  std::span<const uint8_t> data_;
  size_t next_ = 0;
  uint64_t buffer_ = 0;
  int count_ = 0;
};

// Copies `length` bytes between ranges that do not overlap, in steps of eight or four bytes
// (the last step ending exactly at the end) rather than a call or a byte loop: most strings
// are short.
inline void CopyExact(uint8_t* to, const uint8_t* from, size_t length) {
  if (length >= 8) {
    size_t i = 0;
    for (; i + 8 <= length; i += 8) std::memcpy(to + i, from + i, 8);
    if (i < length) std::memcpy(to + length - 8, from + length - 8, 8);
  } else if (length >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + length - 4, from + length - 4, 4);
  } else {
    for (size_t i = 0; i < length; ++i) to[i] = from[i];
  }
}

// The strings of the codes below the clear code, each one byte; the padding lets a fixed
// 16-byte copy start at any of them.
struct Bytes {
  uint8_t value[256 + 16];
  constexpr Bytes() : value() {
    for (int i = 0; i < 256; ++i) value[i] = static_cast<uint8_t>(i);
  }
};
constexpr Bytes kBytes;

// A table entry: a string already written (in the output, or one of kBytes).
struct Entry {
  const uint8_t* from;
  uint32_t length;
};

// The decoder proper. With kScribble, a string of up to 16 bytes is copied as a fixed 16 bytes
// whenever 16 fit before the end of `out`: the bytes past the string are overwritten by the
// strings after it, but when decoding stops early, up to 15 bytes past `written` are left
// changed. Without it, nothing past `written` is touched.
template <bool kScribble>
LzwResult Decode(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out) {
  LzwResult result;
  if (minCodeSize < 1 || minCodeSize > 8) {
    result.status = LzwStatus::kBadCodeSize;
    return result;
  }
  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  // Only entries below nextCode are ever read, and each of those has been written; every
  // string an entry names ends at or before the current position.
  Entry table[kTableSize];
  for (uint32_t i = 0; i < clearCode; ++i) table[i] = {&kBytes.value[i], 1};

  CodeReader reader(data);
  int codeBits = minCodeSize + 1;
  uint32_t nextCode = clearCode + 2;
  bool havePrevious = false;
  Entry previous{nullptr, 0};
  size_t pos = 0;
  uint8_t* const dst = out.data();
  const size_t size = out.size();

  while (pos < size) {
    uint32_t code;
    if (!reader.Read(codeBits, &code)) {
      result.status = LzwStatus::kDataEnded;
      result.written = pos;
      return result;
    }
    const size_t room = size - pos;
    uint32_t length;
    if (code < nextCode && code - clearCode >= 2u) {
      // A literal or an entry (entries exist only after a first code since the last clear).
      const Entry entry = table[code];
      length = entry.length;
      if (kScribble && length <= 16 && room >= 16) {
        // Through a copy: for a string close behind, the two ranges overlap.
        uint8_t chunk[16];
        std::memcpy(chunk, entry.from, 16);
        std::memcpy(dst + pos, chunk, 16);
      } else {
        CopyExact(dst + pos, entry.from, length <= room ? length : room);
      }
    } else if (code == clearCode) {
      codeBits = minCodeSize + 1;
      nextCode = clearCode + 2;
      havePrevious = false;
      continue;
    } else if (code == endCode) {
      result.status = LzwStatus::kEndCode;
      result.written = pos;
      return result;
    } else if (havePrevious && code == nextCode && nextCode < kTableSize) {
      // The string of the previous code followed by its own first byte.
      length = previous.length + 1;
      CopyExact(dst + pos, previous.from, previous.length <= room ? previous.length : room);
      if (length <= room) dst[pos + previous.length] = *previous.from;
    } else {
      result.status = LzwStatus::kBadCode;
      result.written = pos;
      return result;
    }

    if (havePrevious && nextCode < kTableSize) {
      table[nextCode] = {previous.from, previous.length + 1};
      ++nextCode;
    }
    // Wider codes once the next entry no longer fits. With a minimum size of 1 this happens
    // right after the first code, before any entry is made.
    if (nextCode >= (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
    previous = {dst + pos, length};
    havePrevious = true;
    pos += length <= room ? length : room;
  }
  result.status = LzwStatus::kFilled;
  result.written = pos;
  return result;
}

}  // namespace

LzwResult DecodeLzw(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out) {
  return Decode<false>(minCodeSize, data, out);
}

LzwResult DecodeLzwScribbling(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out) {
  return Decode<true>(minCodeSize, data, out);
}

}  // namespace components
