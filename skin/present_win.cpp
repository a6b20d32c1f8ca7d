// Presentation of a layered window's picture with per-pixel alpha.
//
// The picture last handed to a window is kept in the DIB that UpdateLayeredWindow takes. A
// whole picture is put together in that DIB itself and handed over whole. A picture of which
// only a part may have changed (a hover changes one button) has that part put together beside
// it and handed over as the rectangle that changed: the window manager (Wine's especially,
// which derives the window's shape from every pixel it is given) then works on that button
// only. The picture beside is window-sized but only its touched pages take memory, and it
// goes right after: between two pictures only the kept DIB takes window-sized memory. One
// window is kept, the one being worked with; a picture for another window starts afresh, one
// for a window of another size in a new DIB. A thread that finds the kept picture in use by
// another thread puts its picture together in a DIB of its own and hands over the whole of
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

struct KeptPicture {
  KeptPicture() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  HWND window = nullptr;
  std::unique_ptr<Frame> shown;  // what the window shows
};

// A window-sized picture whose pages the system commits, zeroed, when they are first touched,
// released at its end: a button's box touches a few dozen rows of it.
class ScratchPicture {
 public:
  explicit ScratchPicture(size_t count)
      : pixels_(static_cast<uint32_t*>(
            VirtualAlloc(nullptr, count * sizeof(uint32_t), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))) {}
  ~ScratchPicture() {
    if (pixels_) VirtualFree(pixels_, 0, MEM_RELEASE);
  }
  ScratchPicture(const ScratchPicture&) = delete;
  ScratchPicture& operator=(const ScratchPicture&) = delete;
  uint32_t* get() const { return pixels_; }

 private:
  uint32_t* pixels_;
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
  if (!kept.shown || kept.shown->width() != width || kept.shown->height() != height) {
    kept.window = nullptr;
    kept.shown.reset();  // the old DIB goes before the new one is made
    kept.shown = std::make_unique<Frame>(width, height);
    if (!kept.shown->pixels()) {
      kept.shown.reset();
      return;
    }
  }
  uint32_t* const shown = kept.shown->pixels();
  const size_t count = static_cast<size_t>(width) * height;
  // The whole picture, put together in the kept DIB and handed over whole: what the window
  // shows may not be what was last handed to it (a rebuild, another window, a failed present).
  const auto presentWhole = [&] {
    kept.window = nullptr;
    std::fill(shown, shown + count, 0u);
    draw(shown, nullptr);
    // Kept only once the window has it: after a failed present, what it shows is not known.
    if (kept.shown->Present(window, nullptr)) kept.window = window;
  };
  if (kept.window != window || whole) return presentWhole();
  // Only the part that may have changed is drawn beside, on transparent pixels: the rest is
  // neither drawn nor looked at, and clearing the whole window on every hover is two megabytes
  // written for one button.
  const ScratchPicture scratch(count);
  if (!scratch.get()) return presentWhole();
  draw(scratch.get(), only);
  const SourcePixels before{shown, width, height}, next{scratch.get(), width, height};
  const PixelArea changed = only ? ChangedArea(before, next, *only) : ChangedArea(before, next);
  if (changed.empty()) return;
  CopyArea({shown, width, height}, next, changed);
  const RECT rect{changed.left, changed.top, changed.right, changed.bottom};
  if (!kept.shown->Present(window, &rect)) kept.window = nullptr;
}

}  // namespace skin
