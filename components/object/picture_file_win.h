// The picture editor's file question, which the animation object and the animation box share.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/forms/unit_class.h"

namespace components {

// The design environment's file question of the picture editor: the chosen path, or "" when
// the user declined. The open-file dialog unless a test puts another in (nullptr restores it).
using PictureFileChooser = std::string (*)(HWND owner, const char* prompt, const char* filter);
void SetPictureFileChooser(PictureFileChooser chooser);

// The picture editor of both components: asks for a picture file and reads it whole. False when
// the user declined or the file cannot be read or exceeds the picture budget.
bool AskForPicture(HWND owner, runtime::Bytes* bytes);

}  // namespace components
