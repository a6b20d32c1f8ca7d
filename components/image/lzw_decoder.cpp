// GIF's LZW. Every table entry is a string that has already been written to the output: the
// entry made after code X, written at position p, is the len(X) + 1 bytes starting at p (X's
// string and the first byte of the string after it). So the table keeps only a position and a
// length per entry, and decoding a code is a short copy within the output.
#include "components/image/lzw_decoder.h"

#include <cstring>

namespace components {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;

// Reads codes LSB first from the bytes.
class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}

  // False when fewer than `bits` bits are left.
  bool Read(int bits, uint32_t* code) {
    while (count_ < bits) {
      if (next_ < data_.size() && data_.size() - next_ >= 4 && count_ <= 32) {
        uint32_t word;
        std::memcpy(&word, data_.data() + next_, 4);
        word = LittleEndian(word);
        buffer_ |= static_cast<uint64_t>(word) << count_;
        next_ += 4;
        count_ += 32;
      } else if (next_ < data_.size()) {
        buffer_ |= static_cast<uint64_t>(data_[next_++]) << count_;
        count_ += 8;
      } else {
        return false;
      }
    }
    *code = static_cast<uint32_t>(buffer_) & ((1u << bits) - 1);
    buffer_ >>= bits;
    count_ -= bits;
    return true;
  }

 private:
  static uint32_t LittleEndian(uint32_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_bswap32(word);
#else
    return word;
#endif
  }

  std::span<const uint8_t> data_;
  size_t next_ = 0;
  uint64_t buffer_ = 0;
  int count_ = 0;
};

// Copies `length` bytes from `from` to `to` front to back; the ranges may overlap with
// from < to (the string of an entry being defined by this very code).
inline void CopyForward(uint8_t* out, size_t to, size_t from, size_t length) {
  if (from + length <= to) {
    std::memcpy(out + to, out + from, length);
    return;
  }
  for (size_t i = 0; i < length; ++i) out[to + i] = out[from + i];
}

struct Entry {
  uint32_t position;  // where the string was first written
  uint32_t length;
};

}  // namespace

LzwResult DecodeLzw(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> out) {
  LzwResult result;
  if (minCodeSize < 1 || minCodeSize > 8) {
    result.status = LzwStatus::kBadCodeSize;
    return result;
  }
  // Positions are 32-bit: an image is at most 65535 x 65535 pixels, but the caller's buffer is
  // bounded by the picture budget anyway; refuse anything larger rather than wrap.
  if (out.size() > 0xFFFFFFF0u) out = out.first(0xFFFFFFF0u);

  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  // Only entries below nextCode are ever read, and each of those has been written.
  Entry table[kTableSize];

  CodeReader reader(data);
  int codeBits = minCodeSize + 1;
  uint32_t nextCode = clearCode + 2;
  bool havePrevious = false;
  Entry previous{0, 0};
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
    if (code == clearCode) {
      codeBits = minCodeSize + 1;
      nextCode = clearCode + 2;
      havePrevious = false;
      continue;
    }
    if (code == endCode) {
      result.status = LzwStatus::kEndCode;
      result.written = pos;
      return result;
    }

    Entry current;
    if (code < clearCode) {
      dst[pos] = static_cast<uint8_t>(code);
      current = {static_cast<uint32_t>(pos), 1};
    } else if (havePrevious && code < nextCode) {
      current = table[code];
      const size_t fit = current.length <= size - pos ? current.length : size - pos;
      CopyForward(dst, pos, current.position, fit);
      current.position = static_cast<uint32_t>(pos);
    } else if (havePrevious && code == nextCode && nextCode < kTableSize) {
      // The string of the previous code followed by its own first byte.
      current = {static_cast<uint32_t>(pos), previous.length + 1};
      const size_t fit = current.length <= size - pos ? current.length : size - pos;
      CopyForward(dst, pos, previous.position, fit);
    } else {
      result.status = LzwStatus::kBadCode;
      result.written = pos;
      return result;
    }

    if (havePrevious && nextCode < kTableSize) {
      table[nextCode] = {previous.position, previous.length + 1};
      ++nextCode;
    }
    // Wider codes once the next entry no longer fits. With a minimum size of 1 this happens
    // right after the first code, before any entry is made.
    if (nextCode >= (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
    previous = current;
    havePrevious = true;
    pos += current.length <= size - pos ? current.length : size - pos;
  }
  result.status = LzwStatus::kFilled;
  result.written = pos;
  return result;
}

}  // namespace components
