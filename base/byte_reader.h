// A cursor over untrusted bytes (template blocks, class property blocks). Every read checks
// what is left before it touches a byte; once a read has failed the cursor stays failed and
// every later read yields zeros and empty items, so a parser can read a run of fields and
// check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace base {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Ok() const { return !failed_; }
  // Where the cursor stands, or where it stood when it failed.
  size_t Position() const { return position_; }
  size_t Remaining() const { return failed_ ? 0 : bytes_.size() - position_; }
  bool AtEnd() const { return !failed_ && position_ == bytes_.size(); }
  void Fail() { failed_ = true; }

  // A 32-bit little-endian word.
  uint32_t U32() {
    std::span<const uint8_t> b = Take(4);
    if (b.empty()) return 0;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }

  // The next `count` bytes; empty (and failed) when fewer are left.
  std::span<const uint8_t> Take(uint64_t count) {
    if (failed_ || count > bytes_.size() - position_) {
      failed_ = true;
      return {};
    }
    std::span<const uint8_t> taken = bytes_.subspan(position_, static_cast<size_t>(count));
    position_ += static_cast<size_t>(count);
    return taken;
  }

  // The same reads for parsers that test each step: the value goes to *out only when it was
  // there; the result is whether the cursor is still good.
  bool U8(uint8_t* out) { return Read(1, out); }
  bool U16(uint16_t* out) { return Read(2, out); }
  bool I32(int32_t* out) { return Read(4, out); }
  bool Bytes(uint64_t count, std::span<const uint8_t>* out) {
    std::span<const uint8_t> taken = Take(count);
    if (failed_) return false;
    *out = taken;
    return true;
  }
  bool Skip(uint64_t count) {
    Take(count);
    return !failed_;
  }

  // A length-prefixed item: a 32-bit byte count, then the bytes.
  std::span<const uint8_t> Prefixed() {
    uint32_t length = U32();
    return Take(length);
  }
  std::vector<uint8_t> PrefixedBytes() {
    std::span<const uint8_t> b = Prefixed();
    return {b.begin(), b.end()};
  }
  std::string PrefixedText() {
    std::span<const uint8_t> b = Prefixed();
    return {b.begin(), b.end()};
  }

  // A zero-terminated text, returned without its terminator; fails when no 0 byte is left.
  std::string ZeroTerminated() {
    if (failed_) return {};
    for (size_t end = position_; end < bytes_.size(); ++end) {
      if (bytes_[end] != 0) continue;
      std::string text(bytes_.begin() + position_, bytes_.begin() + end);
      position_ = end + 1;
      return text;
    }
    failed_ = true;
    return {};
  }

  // True when `count` items of `itemSize` bytes each could still be read: checked before a
  // count read from the bytes is used to size anything.
  bool Holds(uint64_t count, uint64_t itemSize) const {
    return !failed_ && count <= (bytes_.size() - position_) / itemSize;
  }

 private:
  // `size` little-endian bytes into an integer.
  template <typename Integer>
  bool Read(size_t size, Integer* out) {
    std::span<const uint8_t> b = Take(size);
    if (failed_) return false;
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(b[i]) << (8 * i);
    *out = static_cast<Integer>(value);
    return true;
  }

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace base
