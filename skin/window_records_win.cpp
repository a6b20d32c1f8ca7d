// The layer's table of what it keeps per window, and its one window procedure.
//
// The program runs elevated, and any process on the desktop can set its windows' properties.
// So the values the layer acts on (numbers it draws by, images it draws and disposes, the
// cached bitmap it deletes, the procedure it calls on to) live here, in this process, keyed by
// window; the properties of the same names are written beside them for outside readers only.
// A record is made when the layer first knows a window and dropped when the window ends.
#include <windows.h>

#include <cstring>
#include <iterator>
#include <unordered_map>
#include <utility>

#include "skin/skin_win.h"

namespace skin {
namespace {

constexpr const char* kNumberNames[] = {kPropType,      kPropBackType,  kPropDrawState,  kPropFocus,
                                        kPropBackColor, kPropBackAlpha, kPropOrderColor, kPropOrderAlpha,
                                        kPropTextColor, kPropToolTips,  kPropTime};
constexpr const char* kImageNames[] = {kPropBackImage, kPropNormalImage, kPropHoverImage, kPropDownImage,
                                       kPropDisableImage};
constexpr int kTypeIndex = 0;

struct WindowRecord {
  WNDPROC saved = nullptr;  // what the layer's procedure replaced; null while it is not laid over
  bool parent = false;      // a parent of PNG controls
  bool adopted = false;     // adopted by a layered window: the layered roles act
  bool changed = false;     // something was changed and not drawn
  intptr_t numbers[std::size(kNumberNames)] = {};
  ImageHandle images[std::size(kImageNames)] = {};
  GdiObject<HBITMAP> cache;
  LoadDialogHeld held;
};

// The worker thread stores images while the window thread reads: every access under the lock,
// which is held for a few map operations and property writes only (nothing that sends a
// message, nothing that takes the image ledger's lock).
struct Table {
  Table() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  std::unordered_map<HWND, WindowRecord> records;
};

Table& Records() {
  static Table table;
  return table;
}

class Locked {
 public:
  Locked() { EnterCriticalSection(&Records().lock); }
  ~Locked() { LeaveCriticalSection(&Records().lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

WindowRecord* Find(HWND window) {
  auto& records = Records().records;
  const auto it = records.find(window);
  return it == records.end() ? nullptr : &it->second;
}

template <size_t N>
int IndexOf(const char* const (&names)[N], const char* name) {
  for (size_t i = 0; name && i < N; ++i) {
    if (std::strcmp(names[i], name) == 0) return static_cast<int>(i);
  }
  return -1;
}

bool Named(const char* name, const char* kept) { return name && std::strcmp(name, kept) == 0; }

bool HasLayeredRole(const WindowRecord& record) {
  const intptr_t kind = record.numbers[kTypeIndex];
  return record.adopted && (kind == kKindButton || kind == kKindEdit);
}

LRESULT EndHooked(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK SkinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) return EndHooked(window, message, wParam, lParam);
  intptr_t kind = 0;
  bool parent = false, adopted = false;
  {
    const Locked locked;
    const WindowRecord* record = Find(window);
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    kind = record->numbers[kTypeIndex];
    parent = record->parent;
    adopted = record->adopted;
  }
  if (kind == kKindButton)
    return (adopted ? LayeredButtonMessage : ButtonMessage)(window, message, wParam, lParam);
  if (kind == kKindEdit && adopted) return LayeredEditMessage(window, message, wParam, lParam);
  if (parent) return ButtonParentMessage(window, message, wParam, lParam);
  return CallSaved(window, message, wParam, lParam);
}

// The window ends: what the layer kept for it goes, and its procedure is put back when
// nothing was laid over it since (a procedure above still calls on to the one below).
LRESULT EndHooked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EndControl(window);
  WNDPROC saved = nullptr;
  {
    const Locked locked;
    if (const WindowRecord* record = Find(window)) saved = record->saved;
    Records().records.erase(window);
  }
  if (saved && GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinProc)) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
  }
  RemovePropA(window, kPropWndProc);
  RemovePropA(window, kPropChildWndProc);
  return saved ? CallWindowProcA(saved, window, message, wParam, lParam)
               : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool IsKeptName(const char* name) {
  return IndexOf(kNumberNames, name) >= 0 || IndexOf(kImageNames, name) >= 0 ||
         Named(name, kPropCacheBitmap) || Named(name, kPropWndProc) || Named(name, kPropChildWndProc);
}

intptr_t Value(HWND window, const char* name) {
  const Locked locked;
  const WindowRecord* record = Find(window);
  if (!record) return 0;
  if (const int i = IndexOf(kNumberNames, name); i >= 0) return record->numbers[i];
  if (const int i = IndexOf(kImageNames, name); i >= 0) return static_cast<intptr_t>(record->images[i]);
  if (Named(name, kPropCacheBitmap)) return reinterpret_cast<intptr_t>(record->cache.get());
  const auto saved = reinterpret_cast<intptr_t>(record->saved);
  if (Named(name, kPropWndProc)) return record->adopted ? 0 : saved;
  if (Named(name, kPropChildWndProc)) return HasLayeredRole(*record) ? saved : 0;
  return 0;
}

bool SetValue(HWND window, const char* name, intptr_t value) {
  const int i = IndexOf(kNumberNames, name);
  if (i < 0) return false;
  const Locked locked;
  WindowRecord* record = Find(window);
  if (!record) return false;
  record->numbers[i] = value;
  SetWindowProp(window, name, value);
  return true;
}

void KnowWindow(HWND window) {
  const Locked locked;
  Records().records.try_emplace(window);
}

bool ExchangeImage(HWND window, const char* name, ImageHandle image, ImageHandle* previous) {
  const int i = IndexOf(kImageNames, name);
  const Locked locked;
  WindowRecord* record = Find(window);
  if (i < 0 || !record || !IsWindow(window)) return false;
  *previous = record->images[i];
  record->images[i] = image;
  SetWindowProp(window, name, static_cast<intptr_t>(image));
  return true;
}

ImageHandle ReadImage(HWND window, const char* name) {
  return static_cast<ImageHandle>(IndexOf(kImageNames, name) >= 0 ? Value(window, name) : 0);
}

ImageHandle TakeImage(HWND window, const char* name) {
  const int i = IndexOf(kImageNames, name);
  const Locked locked;
  WindowRecord* record = Find(window);
  if (i < 0 || !record) return 0;
  const ImageHandle image = record->images[i];
  record->images[i] = 0;
  RemovePropA(window, name);
  return image;
}

void SetCacheBitmap(HWND control, GdiObject<HBITMAP> cache) {
  const Locked locked;
  WindowRecord* record = Find(control);
  if (!record) return;  // not ours to keep: it goes with `cache`
  record->cache = std::move(cache);
  if (HBITMAP kept = record->cache.get()) {
    SetWindowProp(control, kPropCacheBitmap, reinterpret_cast<intptr_t>(kept));
  } else {
    RemovePropA(control, kPropCacheBitmap);
  }
}

void MarkChanged(HWND window) {
  const Locked locked;
  if (WindowRecord* record = Find(window)) record->changed = true;
}

bool TakeChanged(HWND window) {
  const Locked locked;
  WindowRecord* record = Find(window);
  const bool changed = record && record->changed;
  if (record) record->changed = false;
  return changed;
}

bool Hook(HWND window) {
  if (!IsWindow(window)) return false;
  const Locked locked;
  WindowRecord& record = Records().records[window];
  if (record.saved) return true;
  // Replacing the procedure sends no message, so it is done under the lock with the record.
  record.saved = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinProc)));
  SetWindowProp(window, kPropWndProc, reinterpret_cast<intptr_t>(record.saved));
  return true;
}

void MarkParent(HWND window) {
  const Locked locked;
  if (WindowRecord* record = Find(window)) record->parent = true;
}

bool Adopt(HWND child) {
  const Locked locked;
  WindowRecord* record = Find(child);
  if (!record || !record->saved || record->adopted || !record->numbers[kTypeIndex]) return false;
  record->adopted = true;
  RemovePropA(child, kPropWndProc);
  if (!HasLayeredRole(*record)) return false;
  SetWindowProp(child, kPropChildWndProc, reinterpret_cast<intptr_t>(record->saved));
  return true;
}

LRESULT CallSaved(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC saved = nullptr;
  {
    const Locked locked;
    if (const WindowRecord* record = Find(window)) saved = record->saved;
  }
  if (!saved) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(saved, window, message, wParam, lParam);
}

void HoldInLoadDialog(HWND dialog, const LoadDialogHeld& held) {
  const Locked locked;
  Records().records[dialog].held = held;
}

LoadDialogHeld TakeLoadDialogHeld(HWND dialog) {
  const Locked locked;
  WindowRecord* record = Find(dialog);
  if (!record) return {};
  const LoadDialogHeld held = record->held;
  record->held = {};
  return held;
}

void ForgetWindow(HWND window) {
  const Locked locked;
  Records().records.erase(window);
}

}  // namespace skin
