// A cursor over untrusted bytes that cannot run past its buffer: every read says whether the
// bytes were there, and once a read has failed the cursor stays failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace components {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  size_t position() const { return position_; }
  size_t remaining() const { return ok_ ? bytes_.size() - position_ : 0; }

  bool U8(uint8_t* value) {
    if (!Need(1)) return false;
    *value = bytes_[position_++];
    return true;
  }
  bool U16(uint16_t* value) {
    if (!Need(2)) return false;
    *value = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return true;
  }
  bool I32(int32_t* value) {
    if (!Need(4)) return false;
    const uint32_t v = static_cast<uint32_t>(bytes_[position_]) |
                       (static_cast<uint32_t>(bytes_[position_ + 1]) << 8) |
                       (static_cast<uint32_t>(bytes_[position_ + 2]) << 16) |
                       (static_cast<uint32_t>(bytes_[position_ + 3]) << 24);
    *value = static_cast<int32_t>(v);
    position_ += 4;
    return true;
  }
  // The next n bytes, consumed.
  bool Bytes(size_t n, std::span<const uint8_t>* out) {
    if (!Need(n)) return false;
    *out = bytes_.subspan(position_, n);
    position_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (!Need(n)) return false;
    position_ += n;
    return true;
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || n > bytes_.size() - position_) {
      ok_ = false;
      return false;
    }
    return true;
  }

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace components
