// OLE picture loading: the bytes go into a memory stream, OleLoadPicture decodes them, and the
// picture is read back as a 32-bit top-down bitmap: a bitmap through GetDIBits at its own size,
// anything else (icons, metafiles) drawn by the picture onto white at the screen's resolution.
// The result is opaque: the transparency byte of every pixel is cleared.
#include "components/picture_win.h"

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "base/gdi_win.h"
#include "base/mul_div.h"

namespace components {

using base::DibSection;
using base::MemoryDc;
using base::MulDiv;
using base::Selection;
namespace {

// A COM interface pointer / Release.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface* get() const { return p_; }
  Interface** out() { return &p_; }
  Interface* operator->() const { return p_; }

 private:
  Interface* p_ = nullptr;
};

// GlobalAlloc / GlobalFree, until a stream takes the block over.
class GlobalBlock {
 public:
  explicit GlobalBlock(size_t bytes) : block_(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  ~GlobalBlock() {
    if (block_) GlobalFree(block_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  HGLOBAL get() const { return block_; }
  HGLOBAL Release() { return std::exchange(block_, nullptr); }

 private:
  HGLOBAL block_;
};

bool LoadOlePicture(std::span<const uint8_t> bytes, ComPtr<IPicture>* picture) {
  if (bytes.size() > 0x7FFFFFFF) return false;
  GlobalBlock block(bytes.size());
  if (!block.get()) return false;
  void* memory = GlobalLock(block.get());
  if (!memory) return false;
  std::memcpy(memory, bytes.data(), bytes.size());
  GlobalUnlock(block.get());
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.out()))) return false;
  block.Release();  // the stream frees it
  return SUCCEEDED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(picture->out())));
}

// A bitmap read at its own size.
bool ReadBitmap(HDC dc, HBITMAP bitmap, size_t budget, FrameSet* set) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  if (FrameBytesWithin(info.bmWidth, info.bmHeight, 1, budget) == 0) return false;
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = info.bmWidth;
  request.bmiHeader.biHeight = -info.bmHeight;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  set->width = info.bmWidth;
  set->height = info.bmHeight;
  Frame& frame = set->frames.emplace_back();
  frame.pixels.resize(set->PixelCount());
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), frame.pixels.data(), &request,
                   DIB_RGB_COLORS) == info.bmHeight;
}

// Any other picture drawn onto white at the screen's resolution.
bool RenderPicture(HDC dc, IPicture* picture, size_t budget, FrameSet* set) {
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  if (FAILED(picture->get_Width(&hmWidth)) || FAILED(picture->get_Height(&hmHeight))) return false;
  const int32_t width = MulDiv(hmWidth, GetDeviceCaps(dc, LOGPIXELSX), 2540);
  const int32_t height = MulDiv(hmHeight, GetDeviceCaps(dc, LOGPIXELSY), 2540);
  if (FrameBytesWithin(width, height, 1, budget) == 0) return false;
  const DibSection dib(dc, width, height);
  if (!dib.bits()) return false;
  const Selection selection(dc, dib.get());
  std::fill_n(dib.bits(), static_cast<size_t>(width) * height, 0x00FFFFFFu);
  if (FAILED(picture->Render(dc, 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr)))
    return false;
  GdiFlush();
  set->width = width;
  set->height = height;
  set->frames.emplace_back().pixels.assign(dib.bits(), dib.bits() + static_cast<size_t>(width) * height);
  return true;
}

FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) {
  ComPtr<IPicture> picture;
  if (bytes.empty() || !LoadOlePicture(bytes, &picture)) return {};
  MemoryDc dc;
  if (!dc.get()) return {};
  short type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  FrameSet set;
  bool ok;
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle))) {
    // GDI handles are 32-bit values, sign-extended on 64-bit Windows.
    const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
    ok = ReadBitmap(dc.get(), bitmap, budget, &set);
  } else {
    ok = RenderPicture(dc.get(), picture.get(), budget, &set);
  }
  if (!ok || set.Empty()) return {};
  for (uint32_t& p : set.frames[0].pixels) p &= kColorMask;
  return set;
}

}  // namespace

FrameSet OlePictureService::Decode(std::span<const uint8_t> bytes, size_t budget) {
  try {
    return components::Decode(bytes, budget);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace components
