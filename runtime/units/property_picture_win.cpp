// Decoding pictures through OleLoadPicture from a memory stream.
#include "runtime/units/property_picture_win.h"

#include <ole2.h>
#include <olectl.h>

#include <utility>

#include "base/gdi_win.h"
#include "base/handles_win.h"
#include "runtime/units/bitmap_file.h"

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
    bitmap_.reset(static_cast<HBITMAP>(
        CopyImage(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)), IMAGE_BITMAP, 0, 0, 0)));
  } else if (type == PICTYPE_ICON) {
    icon_.reset(CopyIcon(reinterpret_cast<HICON>(static_cast<uintptr_t>(handle))));
  }
}

SIZE Picture::size() const {
  if (bitmap()) {
    BITMAP info{};
    GetObjectA(bitmap(), sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
  }
  if (icon()) return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  return {0, 0};
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
  const SIZE extent = size();
  if (width <= 0 || height <= 0) {
    width = extent.cx;
    height = extent.cy;
  }
  if (icon()) {
    DrawIconEx(dc, x, y, icon(), width, height, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!bitmap()) return;
  MemoryDc memory(dc);
  Selection selected(memory.get(), bitmap());
  if (width == extent.cx && height == extent.cy) {
    BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, width, height, memory.get(), 0, 0, extent.cx, extent.cy, SRCCOPY);
  }
}

}  // namespace runtime
