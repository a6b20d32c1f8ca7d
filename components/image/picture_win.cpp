// Pictures that are neither GIF nor PNG: the runtime's picture service decodes them (one OLE
// loader for the whole program) and they are read back here as a 32-bit top-down frame: a
// bitmap through GetDIBits at its own size, an icon or cursor drawn onto white at its own size.
// The result is opaque: the transparency byte of every pixel is cleared.
#include "components/image/picture_win.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "base/gdi_win.h"
#include "runtime/units/property_picture_win.h"

namespace components {

using base::DibSection;
using base::GdiObject;
using base::MemoryDc;
using base::Selection;
using base::TopDown32;
namespace {

// A bitmap read at its own size.
bool ReadBitmap(HDC dc, HBITMAP bitmap, size_t budget, FrameSet* set) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  if (FrameBytesWithin(info.bmWidth, info.bmHeight, 1, budget) == 0) return false;
  BITMAPINFO request = TopDown32(info.bmWidth, info.bmHeight);
  set->width = info.bmWidth;
  set->height = info.bmHeight;
  Frame& frame = set->frames.emplace_back();
  frame.pixels.resize(set->PixelCount());
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), frame.pixels.data(), &request,
                   DIB_RGB_COLORS) == info.bmHeight;
}

// The size an icon was made at: its colour bitmap, or half its mask for a monochrome one.
SIZE IconSize(HICON icon) {
  ICONINFO parts{};
  if (!GetIconInfo(icon, &parts)) return {0, 0};
  // GetIconInfo hands over copies of both bitmaps.
  const GdiObject<HBITMAP> mask(parts.hbmMask), color(parts.hbmColor);
  BITMAP info{};
  if (color.get() && GetObjectA(color.get(), sizeof info, &info)) return {info.bmWidth, info.bmHeight};
  if (mask.get() && GetObjectA(mask.get(), sizeof info, &info)) return {info.bmWidth, info.bmHeight / 2};
  return {0, 0};
}

// An icon drawn onto white at its own size.
bool RenderIcon(HDC dc, HICON icon, size_t budget, FrameSet* set) {
  const SIZE size = IconSize(icon);
  if (FrameBytesWithin(size.cx, size.cy, 1, budget) == 0) return false;
  const DibSection dib(dc, size.cx, size.cy);
  if (!dib.bits()) return false;
  const Selection selection(dc, dib.get());
  const size_t count = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
  std::fill_n(dib.bits(), count, 0x00FFFFFFu);
  if (!DrawIconEx(dc, 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL)) return false;
  GdiFlush();
  set->width = size.cx;
  set->height = size.cy;
  set->frames.emplace_back().pixels.assign(dib.bits(), dib.bits() + count);
  return true;
}

FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) {
  if (bytes.empty()) return {};
  const runtime::Picture picture(bytes);
  if (picture.empty()) return {};
  MemoryDc dc;
  if (!dc.get()) return {};
  FrameSet set;
  const bool ok = picture.bitmap() ? ReadBitmap(dc.get(), picture.bitmap(), budget, &set)
                                   : RenderIcon(dc.get(), picture.icon(), budget, &set);
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
