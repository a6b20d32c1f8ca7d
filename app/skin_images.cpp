// The skin image rule over the runtime's file services.
#include "app/skin_images.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "app/services/services.h"

namespace app {
namespace {

constexpr const char* kFileNames[kSkinImageCount] = {
    "\\skin\\background1.png",   "\\skin\\background2.png",   "\\skin\\button_start1.png",
    "\\skin\\button_start2.png", "\\skin\\button_start3.png", "\\skin\\button_repair.png",
    "\\skin\\button_end1.png",   "\\skin\\button_end2.png",   "\\skin\\button_end3.png",
    "\\skin\\button_x1.png",     "\\skin\\button_x2.png",     "\\skin\\button_x3.png",
};

SkinImageId Next(SkinImageId id, int n) { return static_cast<SkinImageId>(id + n); }

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

}  // namespace

bool IsOversizedPng(ImageBytes bytes) {
  // The signature, then the header chunk: length, "IHDR", width, height.
  static constexpr uint8_t kStart[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  if (bytes.size() < sizeof kStart + 8 || !std::equal(std::begin(kStart), std::end(kStart), bytes.begin()))
    return false;
  return BigEndian32(&bytes[16]) > kMaxSkinImageSide || BigEndian32(&bytes[20]) > kMaxSkinImageSide;
}

const char* SkinFileName(SkinImageId id) { return kFileNames[id]; }

bool SkinImages::ReadFile(SkinImageId id) {
  const services::OwnedText directory = services::GetRunDirectory();
  const services::OwnedText path = services::Concat({directory.get(), kFileNames[id]});
  if (!services::FileExists(path.get())) return false;
  // A gigabyte file, sparse on disk, would be read whole: its size is asked first.
  const std::optional<uint64_t> size = services::CurrentServiceSystem().FileSize(path.get());
  if (size && *size > kMaxSkinFileBytes) {
    read_[id].reset();
    return false;
  }
  // No further format check: a file that is not a picture gives the skin layer no image.
  read_[id] = services::ReadFileBytes(path.get());
  if (!IsOversizedPng(runtime::ByteSetView(read_[id].get()))) return true;
  read_[id].reset();
  return false;
}

ImageBytes SkinImages::Resolve(SkinImageId id) {
  return ReadFile(id) ? runtime::ByteSetView(read_[id].get()) : builtIn_[id];
}

void SkinImages::ReadSet(SkinImageId first) {
  for (int i = 0; i < 3; ++i) ReadFile(Next(first, i));
}

SkinSet SkinImages::ChooseSet(SkinImageId first) const {
  const uint8_t* a = read_[first].get();
  const uint8_t* b = read_[Next(first, 1)].get();
  const uint8_t* c = read_[Next(first, 2)].get();
  if (services::ByteSetLength(a) >= 1 && services::ByteSetLength(b) >= 1 && services::ByteSetLength(c) > 0)
    return {runtime::ByteSetView(a), runtime::ByteSetView(b), runtime::ByteSetView(c)};
  return {builtIn_[first], builtIn_[Next(first, 1)], builtIn_[Next(first, 2)]};
}

void SkinImages::Release() {
  for (services::OwnedBytes& bytes : read_) bytes.reset();
}

}  // namespace app
