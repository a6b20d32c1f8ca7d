// The animation object as a unit, apart from its window: which properties the design
// environment may edit, what a property change sets off, class property values as the runtime
// exchanges them, the text conversion of its stored data, and the copy of its image that the
// design-mode preview shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "components/image/frame_set.h"
#include "components/object/object_properties.h"
#include "runtime/forms/unit_class.h"

namespace components {

// The runtime's description of the class properties (index 8 on), kinds from the table.
std::span<const runtime::PropertyInfo> ObjectUnitPropertyTable();

// Design-time enablement: `text` only while no picture is set; `font` and `TextColor` only with
// a text; `picture` only without one; the picture's own settings only with a picture
// (`TransparentColor` also only while it is not taken automatically); `CollidedSound` only
// while collisions are allowed; everything else always.
bool ObjectPropertyEnabled(const ObjectProperties& p, int k);

// What a stored change asks of the unit.
enum class ObjectChange {
  kStored,        // nothing more
  kRebuild,       // build the source image again (and repaint the preview)
  kRepaint,       // repaint the preview
  kPreviewTimer,  // start or stop the preview's animation
};

// Stores a new value of class property k with its clamping and says what follows. In design
// mode more changes reshape the preview; at run time those are only stored (the box applies
// them to its own objects).
ObjectChange ChangeObjectProperty(ObjectProperties& p, int k, const runtime::PropertyValue& value,
                                  bool designMode);

// Class property k as the runtime reads it: the value, or the bytes of a data property.
runtime::PropertyValue GetObjectProperty(const ObjectProperties& p, int k);

// The design environment's text conversion: `text`, then the face name of a 60-byte font, through
// `conversion`; the data written anew. Unreadable data comes back unchanged.
runtime::Bytes ConvertObjectText(std::span<const uint8_t> data, const runtime::TextConversion& conversion);

// The copy the preview shows: flipped, rotated (when RotateFollow is set and the angle is not
// 0), zoomed on both axes, trended and brightened, in that order.
void TransformForPreview(FrameSet& image, const ObjectProperties& p);

// The picture editor's question and file filter; the filter in the "name|patterns" form and
// as the open-file dialog takes it (NUL-separated, doubly NUL-terminated).
inline constexpr char kPicturePrompt[] = "请输入图片文件的名称:";
inline constexpr char kPictureFilter[] =
    "所有图片文件 (*.JPG;*.PNG;*.BMP;*.GIF;*.ICO;*.CUR)|*.JPG;*.PNG;*.BMP;*.GIF;*.ICO;*.CUR";
std::string DialogFilter(std::string_view piped);

}  // namespace components
