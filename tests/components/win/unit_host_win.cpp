// The component units' test host.
#include "unit_host_win.h"

#include <cstdlib>

#include "base/gdi_win.h"

namespace unit_host {
namespace {

constexpr char kHostClass[] = "NetmendUnitTestHost";
constexpr char kPanelClass[] = "NetmendUnitTestPanel";

// A panel paints itself in the colour kept in its user data.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExA(&wc);
    return true;
  }();
  (void)registered;
}

}  // namespace

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

Host::Host(int width, int height, COLORREF background) : width_(width), height_(height) {
  RegisterClasses();
  brush_ = CreateSolidBrush(background);
  hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kHostClass, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                          width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetClassLongPtrA(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_));
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
}

Host::~Host() {
  DestroyWindow(hwnd_);
  DeleteObject(brush_);
}

runtime::UnitObject* Host::Create(runtime::InterfaceFunction classInterface, std::span<const uint8_t> data,
                                  int left, int top, int width, int height, bool designMode) {
  runtime::CreateParams params;
  params.classBlock = data;
  params.parent = reinterpret_cast<runtime::WindowHandle>(hwnd_);
  params.controlId = 100;
  params.left = left;
  params.top = top;
  params.width = width;
  params.height = height;
  params.designMode = designMode ? 1 : 0;
  const auto create = reinterpret_cast<runtime::CreateRoutine>(classInterface(runtime::kOpCreate));
  runtime::UnitObject* unit = create ? create(params) : nullptr;
  // On top of the panels, as the loader stacks a window's units above plain windows.
  if (unit) {
    SetWindowPos(reinterpret_cast<HWND>(unit->Handle()), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  return unit;
}

HWND Host::Panel(COLORREF color, int left, int top, int width, int height) {
  HWND panel = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE, left, top, width, height, hwnd_,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(panel, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  InvalidateRect(panel, nullptr, TRUE);
  return panel;
}

void Host::Settle(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (milliseconds) Sleep(5);
  } while (static_cast<int32_t>(until - GetTickCount()) > 0);
}

Host::Capture Host::Grab() const {
  Settle();
  GdiFlush();
  Capture capture;
  capture.width = width_;
  capture.height = height_;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  const BITMAPINFO info = base::TopDown32(width_, height_);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  capture.pixels.resize(static_cast<size_t>(width_) * height_);
  for (size_t i = 0; i < capture.pixels.size(); ++i) {
    const uint32_t p = pixels[i];  // 0x00RRGGBB
    capture.pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

}  // namespace unit_host
