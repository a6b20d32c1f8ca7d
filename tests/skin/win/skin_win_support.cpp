// Support of the skin layer's Windows tests.
#include "skin/win/skin_win_support.h"

#include <gtest/gtest.h>

#include <map>

#include "components/image/png_writer.h"
#include "runtime/core/declared_functions_win.h"
#include "skin/skin_win.h"

namespace skin_test {
namespace {

std::map<HWND, Picture> gPictures;
std::map<HWND, int> gPresents;

void Observe(HWND window, const uint32_t* pixels, int32_t width, int32_t height) {
  Picture& picture = gPictures[window];
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
  ++gPresents[window];
}

// The layer reaches libraries that are no known system ones (comctl32, for the tooltip)
// through the program's declared functions, which the program installs at start-up.
[[maybe_unused]] const bool gDeclarationsInstalled = [] {
  static runtime::Win32LibraryLoader loader;
  static runtime::DeclaredFunctions declarations(runtime::ProgramDeclarationTable(), loader);
  runtime::InstallProgramDeclarations(&declarations);
  return true;
}();

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::vector<uint8_t> Png(int w, int h, const std::function<uint32_t(int x, int y)>& pixel) {
  png_writer::Picture picture;
  picture.width = w;
  picture.height = h;
  picture.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  picture.rows.resize(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t argb = pixel(x, y);
      uint8_t* p = &picture.rows[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = uint8_t(argb >> 16);
      p[1] = uint8_t(argb >> 8);
      p[2] = uint8_t(argb);
      p[3] = uint8_t(argb >> 24);
    }
  }
  return png_writer::Encode(picture);
}

std::vector<uint8_t> SolidPng(int w, int h, uint32_t argb) {
  return Png(w, h, [argb](int, int) { return argb; });
}

skin::Bytes View(const std::vector<uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

HWND TopWindow(int w, int h) {
  static const ATOM kClass = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.lpszClassName = "SkinTestWindow";
    return RegisterClassExA(&windowClass);
  }();
  (void)kClass;
  HWND window = CreateWindowExA(0, "SkinTestWindow", "skin test", WS_POPUP | WS_VISIBLE, 100, 100, w, h,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  Pump();
  return window;
}

HWND ButtonChild(HWND parent, int x, int y, int w, int h) {
  return CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    Pump();
    Sleep(10);
  }
}

void WatchPresents() {
  ASSERT_TRUE(skin::StartSkin());
  skin::SetPresentObserver(Observe);
}

int PresentCount(HWND window) { return gPresents[window]; }
const Picture& LastPicture(HWND window) { return gPictures[window]; }

}  // namespace skin_test
