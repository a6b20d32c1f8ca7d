// Decoding pictures through OleLoadPicture from a memory stream.
#include "runtime/classes/property_picture_win.h"

#include <ole2.h>
#include <olectl.h>

#include <utility>

#include "base/gdi_win.h"
#include "base/handles_win.h"
#include "runtime/classes/bitmap_file.h"

namespace runtime {
namespace {

using base::ComPtr;
using base::GlobalBlock;
using base::MemoryDc;
using base::Selection;

bool LoadPicture(std::span<const uint8_t> bytes, ComPtr<IPicture>& picture) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF || !BitmapFileFits(bytes)) return false;
  // Empty when the block could not be made or locked: then there is no picture.
  GlobalBlock memory = GlobalBlock::CopyOf(bytes.data(), bytes.size());
  if (!memory) return false;
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.out()))) return false;
  memory.release();  // the stream frees it
  return SUCCEEDED(
      OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture, picture.outVoid()));
}

}  // namespace

Picture::Picture(std::span<const uint8_t> bytes) {
  ComPtr<IPicture> picture;
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
