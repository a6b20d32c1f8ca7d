// The extension components' support libraries as the runtime takes them: "Extended Controls
// Library 2" (the animation box and the animation object) and "Extended Controls Library 1"
// (the transparent label), each with its class table and notification routine.
#pragma once

#include <windows.h>

#include <string>

#include "components/image/frame_set.h"
#include "components/object/object_properties.h"
#include "runtime/forms/unit_class.h"

namespace components {

// Class numbers within the libraries (the low half of the type references).
inline constexpr uint32_t kCartoonBoxClass = 8;
inline constexpr uint32_t kCartoonObjectClass = 9;
inline constexpr uint32_t kTransLabelClass = 5;

runtime::SupportLibrary ExtendedControlsLibrary2();
runtime::SupportLibrary ExtendedControlsLibrary1();

// Interface functions by operation number.
runtime::InterfaceRoutine LabelClassInterface(int operation);
runtime::InterfaceRoutine ObjectClassInterface(int operation);

// What the animation box builds its objects from: the properties and the untransformed source
// image of an animation object unit (owned by the unit, valid while its window lives).
struct ObjectTemplateView {
  const ObjectProperties* properties = nullptr;
  const FrameSet* source = nullptr;
};
// Nothing when the unit is not an animation object.
ObjectTemplateView ObjectTemplateOf(const runtime::UnitObject& unit);

// The design environment's file question of the picture editor: the chosen path, or "" when
// the user declined. The open-file dialog unless a test puts another in (nullptr restores it).
using PictureFileChooser = std::string (*)(HWND owner, const char* prompt, const char* filter);
void SetPictureFileChooser(PictureFileChooser chooser);

// The picture editor of both components: asks for a picture file and reads it whole. False when
// the user declined or the file cannot be read or exceeds the picture budget.
bool AskForPicture(HWND owner, runtime::Bytes* bytes);

}  // namespace components
