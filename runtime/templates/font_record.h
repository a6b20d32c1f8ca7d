// The 60-byte font record stored in class property blocks: a Windows LOGFONTA, laid out
// little-endian, read and written without windows.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/byte_writer.h"

namespace runtime {

using base::Bytes;
using base::PutI32;

inline constexpr size_t kFontRecordSize = 60;

struct FontRecord {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  // The whole stored buffer: the face name up to its terminator, then whatever an earlier
  // name left behind (kept, so that a record passes through unchanged).
  std::array<char, 32> faceBuffer{};

  // The face name: the buffer up to its first 0 byte (all 32 bytes when there is none).
  constexpr std::string_view FaceName() const {
    std::string_view buffer(faceBuffer.data(), faceBuffer.size());
    return buffer.substr(0, buffer.find('\0'));
  }
  // Stores a name of at most 31 bytes and its terminator, clearing the rest of the buffer.
  constexpr void SetFaceName(std::string_view name) {
    faceBuffer = {};
    for (size_t i = 0; i < name.size() && i < faceBuffer.size() - 1; ++i) faceBuffer[i] = name[i];
  }

  bool operator==(const FontRecord&) const = default;
};

constexpr Bytes WriteFontRecord(const FontRecord& font) {
  Bytes out;
  PutI32(out, font.height);
  PutI32(out, font.width);
  PutI32(out, font.escapement);
  PutI32(out, font.orientation);
  PutI32(out, font.weight);
  for (uint8_t b : {font.italic, font.underline, font.strikeOut, font.charSet, font.outPrecision,
                    font.clipPrecision, font.quality, font.pitchAndFamily}) {
    out.push_back(b);
  }
  for (char c : font.faceBuffer) out.push_back(static_cast<uint8_t>(c));
  return out;
}

// A font record from stored font bytes; anything but exactly 60 bytes is no font record (the
// class then uses the default GUI font).
std::optional<FontRecord> ReadFontRecord(std::span<const uint8_t> bytes);

}  // namespace runtime
