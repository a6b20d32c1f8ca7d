// Decoding pictures through OleLoadPicture from a memory stream.
#include "runtime/classes/property_picture_win.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <utility>

#include "runtime/classes/bitmap_file.h"

namespace runtime {
namespace {

// A COM reference released once.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// A memory device context, and an object selected into a context until the owner goes.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

bool LoadPicture(std::span<const uint8_t> bytes, ComRef<IPicture>& picture) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF || !BitmapFileFits(bytes)) return false;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return false;
  void* at = GlobalLock(memory);
  std::memcpy(at, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  ComRef<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.out()))) {
    GlobalFree(memory);
    return false;
  }
  return SUCCEEDED(OleLoadPicture(stream.operator->(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(picture.out())));
}

}  // namespace

Picture::Picture(std::span<const uint8_t> bytes) {
  ComRef<IPicture> picture;
  if (!LoadPicture(bytes, picture)) return;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  picture->get_Type(&type);
  picture->get_Handle(&handle);
  // The picture object owns its handle: keep copies of our own.
  if (type == PICTYPE_BITMAP) {
    bitmap_ = static_cast<HBITMAP>(
        CopyImage(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)), IMAGE_BITMAP, 0, 0, 0));
  } else if (type == PICTYPE_ICON) {
    icon_ = CopyIcon(reinterpret_cast<HICON>(static_cast<uintptr_t>(handle)));
  }
}

Picture::~Picture() { Reset(); }

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)), icon_(std::exchange(other.icon_, nullptr)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    Reset();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    icon_ = std::exchange(other.icon_, nullptr);
  }
  return *this;
}

void Picture::Reset() {
  if (bitmap_) DeleteObject(bitmap_);
  if (icon_) DestroyIcon(icon_);
  bitmap_ = nullptr;
  icon_ = nullptr;
}

SIZE Picture::size() const {
  if (bitmap_) {
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
  }
  if (icon_) return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  return {0, 0};
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
  const SIZE extent = size();
  if (width <= 0 || height <= 0) {
    width = extent.cx;
    height = extent.cy;
  }
  if (icon_) {
    DrawIconEx(dc, x, y, icon_, width, height, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!bitmap_) return;
  MemoryDc memory(dc);
  Selection selected(memory.get(), bitmap_);
  if (width == extent.cx && height == extent.cy) {
    BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, width, height, memory.get(), 0, 0, extent.cx, extent.cy, SRCCOPY);
  }
}

}  // namespace runtime
