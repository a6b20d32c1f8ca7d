// The handlers of the main window and of the overlay window that lies on top of it: building
// the window's look, following a move, the overlay's colour key, closing, and the version gate
// on the first activation.
#pragma once

#include "app/skin_images.h"
#include "skin/skin.h"

namespace app {

// The program's five skin objects: the main window's and the four buttons'.
struct ProgramSkin {
  skin::SkinWindow main;
  skin::PngControl logo, finish, repair, close;
};
ProgramSkin& Skin();
// At start-up, after the runtime and its services are installed and before the skin layer
// starts: the five skin objects, new and bound to no window.
void CreateSkinObjects();

// Gives the control three images for normal, hover and pressed, decoded here and handed to the
// skin layer, which disposes of them once they are replaced and no longer drawn.
void SetDecodedStateImages(const skin::PngControl& control, const SkinSet& images);

// The skin images with their built-in pictures; byte-sets read from the skin folder live here
// until the program ends.
SkinImages& ProgramSkinImages();

// Main window created; again after each restore from minimized. Loads the overlay window,
// sets the clock, the directory prefixes and the title, and gives the window and its buttons
// their look.
void BuildSkin();
// Main window moved: a restore rebuilds the look once; the overlay follows.
void FollowMainWindow();
// Overlay window created: what is painted in its background colour becomes see-through.
void MakeOverlayTransparent();
// Close and finish buttons: the main window goes, the overlay with it, and the program ends.
void CloseMainWindow();
// Main window first activated: Windows older than XP is refused.
void RunVersionGate();

// Releases what the window handlers hold (the program's end): the skin objects and every
// byte-set read from the skin folder.
void ReleaseWindowLook();

}  // namespace app
