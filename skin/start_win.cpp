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

constexpr char kPropThread[] = "Vireo_Thread";
constexpr char kPropImage[] = "Vireo_Image";
constexpr char kPropStream[] = "Vireo_Stream";

// Frees what a load dialog held. The thread is one the dialog's owner started to animate the
// dialog and handed over to end with it.
void FreeHeld(const LoadDialogHeld& held) {
  if (const base::KernelHandle thread(held.thread); thread) TerminateThread(thread.get(), 0);
  ReleaseImage(held.image);
  const base::GlobalBlock stream(held.stream);
}

// The destroy message frees what the dialog was given to hold (GiveToLoadDialog: kept in the
// layer's table, never read back from the properties of the same names, which any process
// may set); a left click on a surface marked "VireoHitMove" drags the window as if its
// caption had been pressed. The mark is a plain number compared with 1: a foreign write can
// only make the dialog draggable.
LRESULT CALLBACK LoadDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    FreeHeld(TakeLoadDialogHeld(window));
    RemovePropA(window, kPropThread);
    RemovePropA(window, kPropImage);
    RemovePropA(window, kPropStream);
  }
  if (message == WM_NCDESTROY) ForgetWindow(window);
  const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN && GetPropA(window, "VireoHitMove") == reinterpret_cast<HANDLE>(1)) {
    ReleaseCapture();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
  return result;
}

bool IsLoadDialog(HWND window) {
  char name[sizeof kLoadDialogClass + 1] = {};
  return IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
         GetClassNameA(window, name, sizeof name) && std::strcmp(name, kLoadDialogClass) == 0;
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

bool GiveToLoadDialog(WindowHandle dialog, uintptr_t thread, ImageHandle image, uintptr_t stream) {
  HWND window = AsWindow(dialog);
  if (!SkinStarted() || !IsLoadDialog(window)) return false;
  const LoadDialogHeld held{reinterpret_cast<HANDLE>(thread), image, reinterpret_cast<HGLOBAL>(stream)};
  FreeHeld(TakeLoadDialogHeld(window));
  HoldInLoadDialog(window, held);
  SetWindowProp(window, kPropThread, static_cast<intptr_t>(thread));
  SetWindowProp(window, kPropImage, static_cast<intptr_t>(image));
  SetWindowProp(window, kPropStream, static_cast<intptr_t>(stream));
  return true;
}

bool StartSkin() { return StartSkinFrom("GdiPlus.dll"); }

bool SkinStarted() { return base::GdiplusSession::Started(); }

}  // namespace skin
