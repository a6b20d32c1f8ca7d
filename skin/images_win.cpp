// GDI+ images from byte-sets through memory streams, and the images held by window
// properties: counted by the ledger so that each is disposed once, when nothing needs it.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "skin/skin_win.h"

namespace skin {
namespace {

// The ledger lets an image go: the image first, then what was kept alive for it (the pixels
// or stream an image of LoadImageFromBytes is drawn from).
void DisposeImage(ImageLedger::Image image, uintptr_t keepAlive) {
  const std::unique_ptr<DecodedImage> decoded(reinterpret_cast<DecodedImage*>(keepAlive));
  base::GdipImage(AsImage(image)).reset();
}

// Pictures wider or taller than this are refused rather than decoded: 4096 x 4096 pixels take
// 64 MB, which a 32-bit process can still find for an 800 x 580 window.
constexpr UINT kMaxSide = 4096;

// The bitmap's pixels, premultiplied, into decoded; false when it cannot be decoded whole (a
// truncated file, say).
bool ReadPixels(base::GpImage* image, DecodedImage* decoded) {
  const base::GdiplusApi& api = *base::Gdiplus();
  UINT width = 0, height = 0;
  api.GdipGetImageWidth(image, &width);
  api.GdipGetImageHeight(image, &height);
  if (!width || !height || width > kMaxSide || height > kMaxSide) return false;
  try {
    decoded->pixels.resize(size_t(width) * height);
  } catch (const std::bad_alloc&) {  // no room for the pixels: no image, not the program's end
    return false;
  }
  const base::GdipRect rect{0, 0, INT(width), INT(height)};
  base::GdipBitmapData data{};
  if (api.GdipBitmapLockBits(image, &rect, base::kImageLockModeRead, base::kPixelFormat32bppPargb, &data) !=
      base::kGpOk) {
    return false;
  }
  decoded->width = INT(width);
  decoded->height = INT(height);
  for (UINT row = 0; row < height; ++row) {
    std::memcpy(&decoded->pixels[size_t(row) * width],
                static_cast<const uint8_t*>(data.scan0) + ptrdiff_t(row) * data.stride, size_t(width) * 4);
  }
  api.GdipBitmapUnlockBits(image, &data);
  return true;
}

constexpr const char* kImageProperties[] = {kPropBackImage, kPropNormalImage, kPropHoverImage, kPropDownImage,
                                            kPropDisableImage};

}  // namespace

IStream* GlobalMemoryStream::Create(std::optional<Bytes> bytes) {
  memory_ = nullptr;
  stream_.reset();
  base::GlobalBlock memory = bytes ? base::GlobalBlock::CopyOf(bytes->data(), bytes->size())
                                   : base::GlobalBlock(GlobalAlloc(GMEM_MOVEABLE, 0));
  if (!memory) return nullptr;
  // The stream frees the block when its last reference goes: an image decoded from it may
  // read it for as long as the image lives.
  if (CreateStreamOnHGlobal(memory.get(), TRUE, stream_.out()) != S_OK) {
    stream_.release();  // nothing was handed back
    return nullptr;
  }
  memory_ = memory.release();  // the stream's now
  return stream_.get();
}

size_t GlobalMemoryStream::GetSize() const {
  STATSTG status{};
  if (stream_ && memory_ && stream_->Stat(&status, STATFLAG_NONAME) == S_OK) {
    return static_cast<size_t>(status.cbSize.QuadPart);
  }
  return memory_ ? GlobalSize(memory_) : 0;
}

std::vector<uint8_t> GlobalMemoryStream::GetBytes() const {
  const size_t size = GetSize();
  if (!size) return {};
  const base::GlobalLockGuard lock(memory_);
  const auto* block = static_cast<const uint8_t*>(lock.data());
  if (!block) return {};
  return std::vector<uint8_t>(block, block + size);
}

IStream* GlobalMemoryStream::Detach() {
  memory_ = nullptr;
  return stream_.release();
}

ImageLedger& Images() {
  static ImageLedger ledger(DisposeImage, [] { SwitchToThread(); });
  return ledger;
}

ImageHandle LoadImageFromBytes(Bytes bytes) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api || bytes.empty()) return 0;
  GlobalMemoryStream memory;
  IStream* stream = memory.Create(bytes);
  if (!stream) return 0;
  base::GdipImage image;
  if (api->GdipLoadImageFromStream(stream, image.out()) != base::kGpOk || !image) return 0;
  api->GdipImageSelectActiveFrame(image.get(), &FrameDimensionTime(), 0);
  auto decoded = std::make_unique<DecodedImage>();
  int type = 0;
  api->GdipGetImageType(image.get(), &type);
  if (type == base::kImageTypeBitmap) {
    // Decoded whole now, into pixels of our own that the image is drawn from: nothing reads
    // the bytes later, and the window's picture is put together from them without GDI+.
    if (!ReadPixels(image.get(), decoded.get())) return 0;
    image.reset();
    api->GdipCreateBitmapFromScan0(decoded->width, decoded->height, decoded->width * 4,
                                   base::kPixelFormat32bppPargb,
                                   reinterpret_cast<BYTE*>(decoded->pixels.data()), image.out());
    if (!image) return 0;
  } else {
    decoded->stream.reset(memory.Detach());  // read by GDI+ whenever it draws the image
  }
  const ImageHandle handle = reinterpret_cast<ImageHandle>(image.release());
  Images().Register(handle, reinterpret_cast<uintptr_t>(decoded.release()));
  return handle;
}

void ReleaseImage(ImageHandle image) {
  if (image && SkinStarted()) Images().Release(image);
}

bool ImageInUse(ImageHandle image) { return image && Images().InUse(image); }

bool IsImageProperty(const char* name) {
  for (const char* property : kImageProperties) {
    if (name && std::strcmp(name, property) == 0) return true;
  }
  return false;
}

bool StoreImage(HWND window, const char* name, ImageHandle image) {
  return Images().Replace(
      image, [&](ImageHandle* previous) { return ExchangeImage(window, name, image, previous); });
}

void StoreOwnImage(HWND window, const char* name, Bytes bytes) {
  const ImageHandle image = LoadImageFromBytes(bytes);
  StoreImage(window, name, image);
  ReleaseImage(image);
}

void DropImages(HWND window) {
  for (const char* name : kImageProperties) {
    Images().Drop([&] { return TakeImage(window, name); });
  }
}

PinnedImage::PinnedImage(HWND window, const char* name)
    : image_(name ? Images().Pin([&] { return ReadImage(window, name); }, &keepAlive_) : 0) {}

const DecodedImage* PinnedImage::decoded() const {
  const auto* decoded = reinterpret_cast<const DecodedImage*>(keepAlive_);
  return decoded && !decoded->pixels.empty() ? decoded : nullptr;
}

const char* StateImageProperty(int32_t state) {
  switch (state) {
    case 1:
      return kPropHoverImage;
    case 2:
      return kPropDownImage;
    case 3:
      return kPropDisableImage;
    default:
      return nullptr;
  }
}

PinnedStateImage::PinnedStateImage(HWND control, int32_t state)
    : state_(control, StateImageProperty(state)), normal_(control, kPropNormalImage) {}

}  // namespace skin
