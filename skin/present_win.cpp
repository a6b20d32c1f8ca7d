// Presentation of a layered window's picture with per-pixel alpha.
//
// A whole picture (a rebuild, every tick of the progress and finished looks) is put together in a
// DIB that UpdateLayeredWindow takes and handed over whole; the DIB then goes, for the window
// keeps its own copy of what it was given. A picture of which only a part may have changed (a
// hover changes one button) is handed over as the rectangle that changed: the window manager
// (Wine's especially, which derives the window's shape from every pixel it is given) then works
// on that button only. The first such picture after a whole one is put together whole and handed
// over as that part; its DIB is kept, and the next parts are put together beside it, compared
// with it and copied into it. The picture beside is window-sized but only its touched pages take
// memory (the boxes hovered over), and both go with the next whole picture. So a look that only
// ticks holds no window-sized picture between ticks, and a user hovering over buttons one DIB and
// the rows of the boxes. One window is known, the one being worked with; a picture for another
// window, or for a window of another size, starts afresh. A thread that finds the kept picture in
// use by another thread puts its picture together in a DIB of its own and hands over the whole of
// it: nobody ever waits.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/gdi_win.h"
#include "runtime/core/declared_functions.h"
#include "runtime/core/declared_functions_win.h"
#include "skin/pixels.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

PresentObserver gPresentObserver = nullptr;

// UpdateLayeredWindowIndirect, which takes the changed rectangle; from Windows Vista on.
using UpdateIndirect = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);
UpdateIndirect FindUpdateIndirect() {
  static const UpdateIndirect found = [] {
    static runtime::Declaration table[] = {{"user32.dll", "UpdateLayeredWindowIndirect"}};
    static runtime::Win32LibraryLoader loader;
    static runtime::DeclaredFunctions functions(table, loader);
    return reinterpret_cast<UpdateIndirect>(functions.TryResolve(0));
  }();
  return found;
}

// A window-sized 32-bit top-down DIB selected into a memory DC.
class Frame {
 public:
  Frame(int32_t width, int32_t height)
      : dib_(memory_.get(), width, height),
        selected_(memory_.get(), dib_.get()),
        width_(width),
        height_(height) {}
  uint32_t* pixels() const { return dib_.bits(); }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Hands the picture to the window; `changed`, when given, is all that differs from the last.
  // False when the window did not take it.
  bool Present(HWND window, const RECT* changed) const {
    GdiFlush();
    if (gPresentObserver) gPresentObserver(window, pixels(), width_, height_);
    // No screen DC: it would only name the palette, and under Wine getting and releasing one
    // is two trips to its server on every hover.
    SIZE size{width_, height_};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (changed) {
      if (const UpdateIndirect update = FindUpdateIndirect()) {
        const UPDATELAYEREDWINDOWINFO info{sizeof info, nullptr, nullptr, &size,     memory_.get(),
                                           &source,     0,       &blend,  ULW_ALPHA, changed};
        if (update(window, &info)) return true;
      }
    }
    return UpdateLayeredWindow(window, nullptr, nullptr, &size, memory_.get(), &source, 0, &blend,
                               ULW_ALPHA) != FALSE;
  }

 private:
  MemoryDc memory_;
  base::DibSection dib_;
  Selection selected_;
  int32_t width_, height_;
};

// Window-sized pixels whose pages the system commits, zeroed, when they are first touched:
// a button's box touches a few dozen rows of them.
struct ReleasePages {
  void operator()(uint32_t* pixels) const { VirtualFree(pixels, 0, MEM_RELEASE); }
};
using LazyPixels = std::unique_ptr<uint32_t, ReleasePages>;
LazyPixels MakeLazyPixels(size_t count) {
  return LazyPixels(static_cast<uint32_t*>(
      VirtualAlloc(nullptr, count * sizeof(uint32_t), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)));
}

struct KeptPicture {
  KeptPicture() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  // The window that took the last picture, and its size then: it shows that picture.
  HWND window = nullptr;
  int32_t width = 0, height = 0;
  // That picture, and the one put together beside it, while parts of it are being put
  // together again; both go with the next whole picture.
  std::unique_ptr<Frame> shown;
  LazyPixels next;
  void Drop() {
    shown.reset();
    next.reset();
  }
};

KeptPicture& Kept() {
  static KeptPicture kept;
  return kept;
}

class TryLock {
 public:
  explicit TryLock(CRITICAL_SECTION& lock) : lock_(lock), held_(TryEnterCriticalSection(&lock) != 0) {}
  ~TryLock() {
    if (held_) LeaveCriticalSection(&lock_);
  }
  TryLock(const TryLock&) = delete;
  TryLock& operator=(const TryLock&) = delete;
  bool held() const { return held_; }

 private:
  CRITICAL_SECTION& lock_;
  bool held_;
};

}  // namespace

void SetPresentObserver(PresentObserver observer) { gPresentObserver = observer; }

void PresentPicture(HWND window, int32_t width, int32_t height, const DrawPicture& draw,
                    const PixelArea* only, bool whole) {
  KeptPicture& kept = Kept();
  const TryLock lock(kept.lock);
  if (!lock.held()) {
    const Frame own(width, height);
    if (!own.pixels()) return;
    draw(own.pixels(), nullptr);
    own.Present(window, nullptr);
    return;
  }
  const bool known = kept.window == window && kept.width == width && kept.height == height;
  if (known && !whole && kept.shown) {
    // Only the part that may have changed is drawn beside, on transparent pixels: the rest is
    // neither drawn nor looked at, and clearing the whole window on every hover is two
    // megabytes written for one button.
    uint32_t* const shown = kept.shown->pixels();
    if (!kept.next) kept.next = MakeLazyPixels(static_cast<size_t>(width) * height);
    if (uint32_t* const beside = kept.next.get()) {
      if (only) {
        ClearArea({beside, width, height}, *only);
      } else {
        std::fill(beside, beside + static_cast<size_t>(width) * height, 0u);
      }
      draw(beside, only);
      const SourcePixels before{shown, width, height}, next{beside, width, height};
      const PixelArea changed = only ? ChangedArea(before, next, *only) : ChangedArea(before, next);
      if (changed.empty()) return;
      CopyArea({shown, width, height}, next, changed);
      const RECT rect{changed.left, changed.top, changed.right, changed.bottom};
      if (!kept.shown->Present(window, &rect)) kept.window = nullptr;
      return;
    }
  }
  // The whole picture. The window shows the last one outside `only`, when that is given for a
  // window that took the last picture: then only that part is handed over, and the DIB is kept
  // for the parts that follow (a hover is followed by others).
  const RECT rect = only ? RECT{std::max(only->left, 0), std::max(only->top, 0), std::min(only->right, width),
                                std::min(only->bottom, height)}
                         : RECT{};
  const bool part = known && !whole && only && rect.left < rect.right && rect.top < rect.bottom;
  if (kept.shown && (kept.shown->width() != width || kept.shown->height() != height)) kept.Drop();
  if (kept.shown) {
    std::fill(kept.shown->pixels(), kept.shown->pixels() + static_cast<size_t>(width) * height, 0u);
  } else {
    kept.shown = std::make_unique<Frame>(width, height);  // transparent when made
  }
  kept.window = nullptr;
  if (!kept.shown->pixels()) {
    kept.Drop();
    return;
  }
  draw(kept.shown->pixels(), nullptr);
  // Known only once the window has it: after a failed present, what it shows is not known.
  if (kept.shown->Present(window, part ? &rect : nullptr)) {
    kept.window = window;
    kept.width = width;
    kept.height = height;
  }
  if (!part) kept.Drop();
}

}  // namespace skin
