// The program's skin images and the rule by which PNG files in the folder "skin" beside the
// program replace the built-in ones: a single image when its file exists (whatever it holds),
// a set of three only as a whole and only when all three are non-empty.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "app/services/arguments.h"

namespace app {

enum SkinImageId : int {
  kBackground1,  // start look background
  kBackground2,  // finished look background
  kStartNormal,  // repair button: normal, hover, pressed
  kStartHover,
  kStartPressed,
  kRepairBusy,  // repair button once the repair has started
  kEndNormal,   // finish button: normal, hover, pressed
  kEndHover,
  kEndPressed,
  kCloseNormal,  // close button: normal, hover, pressed
  kCloseHover,
  kClosePressed,
  kSkinImageCount,
};

// The bytes of an image file (empty: no image). Not owned.
using ImageBytes = std::span<const uint8_t>;

// Skin files larger than this are not read: a picture for an 800 x 580 window takes far less.
inline constexpr uint64_t kMaxSkinFileBytes = 16u << 20;
// PNG pictures wider or taller than this are not taken: decoded, they would not fit the
// memory of a 32-bit process alongside the rest.
inline constexpr uint32_t kMaxSkinImageSide = 4096;

// True for the bytes of a PNG file whose header declares a side above kMaxSkinImageSide.
bool IsOversizedPng(ImageBytes bytes);

// The file of each image, relative to the program's folder.
const char* SkinFileName(SkinImageId id);

// Three images for normal, hover and pressed.
struct SkinSet {
  ImageBytes normal, hover, pressed;
};

// The images with the byte-set last read from each one's file. Every image handed out is either
// a built-in one or owned here, and stays valid until that image's file is read again or the
// images are released.
class SkinImages {
 public:
  // The built-in images, by id (not owned; they outlive this object).
  explicit SkinImages(const std::array<ImageBytes, kSkinImageCount>& builtIn) : builtIn_(builtIn) {}

  // One image: its file's bytes when the file exists (read again each time, the previous read
  // freed; an empty file gives the empty byte-set), else the built-in image. A file above
  // kMaxSkinFileBytes, one that cannot be read, or a PNG picture above kMaxSkinImageSide counts
  // as no file.
  ImageBytes Resolve(SkinImageId id);

  // A set whose first image is `first`, in two halves so that work can come between them:
  // reads each of the three files that exists, then chooses the three read byte-sets when the
  // first two hold at least one byte and the third more than none, else the built-in three.
  void ReadSet(SkinImageId first);
  SkinSet ChooseSet(SkinImageId first) const;
  SkinSet ResolveSet(SkinImageId first) {
    ReadSet(first);
    return ChooseSet(first);
  }

  // Frees every byte-set read from a file.
  void Release();

 private:
  // Reads the image's file into its variable when it exists; false when it does not.
  bool ReadFile(SkinImageId id);

  std::array<ImageBytes, kSkinImageCount> builtIn_;
  std::array<services::OwnedBytes, kSkinImageCount> read_;
};

}  // namespace app
