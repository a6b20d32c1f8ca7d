// The main window's and the overlay window's handlers.
#include "app/main_window_win.h"

#include <windows.h>

#include "app/layout.h"
#include "app/repair_commands_win.h"
#include "app/services/services.h"
#include "app/version_gate.h"
#include "assets/assets.h"
#include "runtime/entry_points.h"
#include "runtime/entry_points_win.h"

namespace app {
namespace {

using runtime::TypedValue;

constexpr int32_t kLeft = 0, kTop = 1, kDisabled = 6;
constexpr int32_t kTitle = 8, kBackgroundColour = 10, kWindowState = 18;
constexpr int32_t kTimerInterval = 8;
constexpr int32_t kMinimized = 2;
constexpr int32_t kProgressIntervalMs = 1200;

// Set when a position change finds the main window minimized: the next one (the restore)
// rebuilds the look.
int32_t gWasMinimized = 0;

TypedValue MainWindow() {
  return runtime::UnitReference(kMainWindow, kMainWindowUnit, runtime::kClassWindow);
}
TypedValue OverlayWindow() {
  return runtime::UnitReference(kOverlayWindow, kOverlayWindowUnit, runtime::kClassWindow);
}

skin::WindowHandle ButtonHandle(uint32_t unitId) {
  return services::GetUnitHandle(runtime::UnitReference(kMainWindow, unitId, runtime::kClassButton));
}

ProgramSkin gSkin;

// The start look, the part of BuildSkin after the overlay, clock, prefixes and title: the
// window and its buttons bound to the skin layer, and their images from the skin folder or
// built in.
void ApplyStartLook() {
  SkinImages& images = ProgramSkinImages();
  gSkin.main.Attach(services::GetUnitHandle(MainWindow()));
  gSkin.logo.AttachButton(ButtonHandle(kLogoButton));
  gSkin.repair.AttachButton(ButtonHandle(kRepairButton));
  gSkin.finish.AttachButton(ButtonHandle(kFinishButton));
  gSkin.main.SetBackImageFromBytes(images.Resolve(kBackground1));
  SetDecodedStateImages(gSkin.repair, images.ResolveSet(kStartNormal));
  // The close button's files are read before it is bound, its set chosen after.
  images.ReadSet(kCloseNormal);
  gSkin.close.AttachButton(ButtonHandle(kCloseButton));
  const SkinSet close = images.ChooseSet(kCloseNormal);
  gSkin.close.SetStateImagesFromBytes(close.normal, close.hover, close.pressed);
  gSkin.main.AdoptControls();
}

}  // namespace

ProgramSkin& Skin() { return gSkin; }

void CreateSkinObjects() { gSkin = ProgramSkin{}; }

void SetDecodedStateImages(const skin::PngControl& control, const SkinSet& images) {
  const skin::ImageHandle normal = skin::LoadImageFromBytes(images.normal);
  const skin::ImageHandle hover = skin::LoadImageFromBytes(images.hover);
  const skin::ImageHandle pressed = skin::LoadImageFromBytes(images.pressed);
  control.SetStateImages(normal, hover, pressed);
  // The control holds them now; once it no longer does, the layer disposes of them.
  skin::ReleaseImage(normal);
  skin::ReleaseImage(hover);
  skin::ReleaseImage(pressed);
}

void BuildSkin() {
  services::LoadWindow(OverlayWindow(), MainWindow(), false);
  runtime::WriteIntProperty(kMainWindow, kProgressClock, kTimerInterval, kProgressIntervalMs);
  ResolveSystemPaths();
  runtime::WriteProperty(kMainWindow, kMainWindowUnit, kTitle,
                         static_cast<uint64_t>(reinterpret_cast<uintptr_t>("Netmend")));
  ApplyStartLook();
  // The finish button has no image until the finished look and stays disabled until then.
  runtime::WriteIntProperty(kMainWindow, kFinishButton, kDisabled, 1);
}

void FollowMainWindow() {
  if (gWasMinimized == 1) BuildSkin();
  gWasMinimized = runtime::ReadIntProperty(kMainWindow, kMainWindowUnit, kWindowState) == kMinimized ? 1 : 0;
  if (!services::IsWindowLoaded(OverlayWindow())) return;
  services::MoveUnit(OverlayWindow(), runtime::ReadIntProperty(kMainWindow, kMainWindowUnit, kLeft),
                     runtime::ReadIntProperty(kMainWindow, kMainWindowUnit, kTop));
}

void MakeOverlayTransparent() {
  const int32_t colour = services::MakeRgb(120, 120, 120);
  runtime::WriteIntProperty(kOverlayWindow, kOverlayWindowUnit, kBackgroundColour, colour);
  const HWND overlay = reinterpret_cast<HWND>(services::GetUnitHandle(OverlayWindow()));
  const LONG style = runtime::kGetWindowLongA(overlay, GWL_EXSTYLE);
  runtime::kSetWindowLongA(overlay, GWL_EXSTYLE, services::BitOr({style, WS_EX_LAYERED}));
  // The colour key alone: the alpha is not applied.
  runtime::kSetLayeredWindowAttributes(overlay, static_cast<COLORREF>(colour), 200, LWA_COLORKEY);
}

void CloseMainWindow() { services::DestroyWindowUnit(MainWindow()); }

SkinImages& ProgramSkinImages() {
  // In the order of SkinImageId. The close set has two pictures: B normal, A hover and pressed.
  static SkinImages images({
      assets::Background1(),
      assets::Background2(),
      assets::RepairNormal(),
      assets::RepairHover(),
      assets::RepairPressed(),
      assets::RepairBusy(),
      assets::FinishNormal(),
      assets::FinishHover(),
      assets::FinishPressed(),
      assets::CloseB(),
      assets::CloseA(),
      assets::CloseA(),
  });
  return images;
}

void ReleaseWindowLook() {
  gSkin = ProgramSkin{};
  ProgramSkinImages().Release();
}

void RunVersionGate() { CheckWindowsVersion(GetWindowsVersionNumber(), kLowestWindows, kHighestWindows); }

}  // namespace app
