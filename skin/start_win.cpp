// Skin start-up: GDI+ looked up by its exported names and started once, the time frame
// dimension, and the "VireoLoadDialog" window class.
#include <windows.h>
// after windows.h
#include <objbase.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "runtime/core/declared_functions.h"
#include "runtime/core/declared_functions_win.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

GUID gFrameDimensionTime{};

// The destroy message frees what a dialog of this class was given to hold; a left click on
// a surface marked "VireoHitMove" drags the window as if its caption had been pressed.
LRESULT CALLBACK LoadDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    if (const base::KernelHandle thread(GetPropA(window, "Vireo_Thread")); thread)
      TerminateThread(thread.get(), 0);
    if (HANDLE image = GetPropA(window, "Vireo_Image")) ReleaseImage(reinterpret_cast<ImageHandle>(image));
    const base::GlobalBlock stream(GetPropA(window, "Vireo_Stream"));
    RemovePropA(window, "Vireo_Thread");
    RemovePropA(window, "Vireo_Image");
    RemovePropA(window, "Vireo_Stream");
  }
  const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN && Prop(window, "VireoHitMove") == 1) {
    ReleaseCapture();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
  return result;
}

void RegisterLoadDialogClass() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW;
  windowClass.lpfnWndProc = LoadDialogProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kLoadDialogClass;
  RegisterClassExA(&windowClass);
}

void ConvertFrameDimension() {
  const std::vector<wchar_t> text = ToUtf16("{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}");
  CLSIDFromString(const_cast<wchar_t*>(text.data()), &gFrameDimensionTime);
}

// Looks every flat function up by name; false when the library or any function is missing.
bool FindGdiplus(const char* library, base::GdiplusApi* api) {
  constexpr size_t kCount = std::size(base::kGdiplusExports);
  static runtime::Declaration table[kCount];
  for (size_t i = 0; i < kCount; ++i) table[i] = {library, base::kGdiplusExports[i]};
  static runtime::Win32LibraryLoader loader;
  static runtime::DeclaredFunctions functions(table, loader);
  for (size_t i = 0; i < kCount; ++i) {
    void* address = functions.TryResolve(i);
    if (!address) return false;
    std::memcpy(reinterpret_cast<char*>(api) + i * sizeof address, &address, sizeof address);
  }
  return true;
}

}  // namespace

const GUID& FrameDimensionTime() { return gFrameDimensionTime; }

bool StartSkinFrom(const char* library) {
  static const bool started = [library] {
    base::GdiplusApi api{};
    if (!FindGdiplus(library, &api) || !base::GdiplusSession::Start(api)) return false;
    ConvertFrameDimension();
    RegisterLoadDialogClass();
    return true;
  }();
  return started;
}

bool StartSkin() { return StartSkinFrom("GdiPlus.dll"); }

bool SkinStarted() { return base::GdiplusSession::Started(); }

}  // namespace skin
