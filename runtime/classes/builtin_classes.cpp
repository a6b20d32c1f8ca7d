// Property tables of the core library's classes and the mapping of class properties onto the
// stored properties of each class.
#include "runtime/classes/builtin_classes.h"

#include <algorithm>
#include <string>

#include "runtime/forms/class_fields.h"

namespace runtime {
namespace {

constexpr PropertyInfo Kind(uint16_t kind) { return PropertyInfo{.kind = kind}; }

// Indexes kFirstClassProperty (8) to 31, in the order of WindowProperty.
constexpr PropertyInfo kWindowProperties[] = {
    Kind(kKindText),              // 8 title
    Kind(kKindChoice),            // 9 border style
    Kind(kKindBackgroundColour),  // 10 background colour
    Kind(kKindPicture),           // 11 background picture
    Kind(kKindChoice),            // 12 picture placement
    Kind(kKindSound),             // 13 background sound
    Kind(kKindChoice),            // 14 sound playing
    Kind(kKindLogical),           // 15 control box
    Kind(kKindLogical),           // 16 maximize button
    Kind(kKindLogical),           // 17 minimize button
    Kind(kKindChoice),            // 18 start position / window state
    Kind(kKindLogical),           // 19 close allowed
    Kind(kKindIcon),              // 20 icon
    Kind(kKindLogical),           // 21 Enter moves the focus
    Kind(kKindLogical),           // 22 Esc closes
    Kind(kKindLogical),           // 23 F1 opens help
    Kind(kKindFileName),          // 24 help file
    Kind(kKindInteger),           // 25 help context
    Kind(kKindLogical),           // 26 shown in the taskbar
    Kind(kKindLogical),           // 27 drag by the client area
    Kind(kKindChoice),            // 28 shape
    Kind(kKindLogical),           // 29 always on top
    Kind(kKindLogical),           // 30 keep the caption active
    Kind(kKindText),              // 31 window class name
};
static_assert(std::size(kWindowProperties) == kWindowClassName - kFirstClassProperty + 1);

constexpr PropertyInfo kButtonProperties[] = {
    Kind(kKindPicture),  // 8 picture
    Kind(kKindChoice),   // 9 type
    Kind(kKindText),     // 10 caption
    Kind(kKindChoice),   // 11 horizontal alignment
    Kind(kKindChoice),   // 12 vertical alignment
    Kind(kKindFont),     // 13 font
};

constexpr PropertyInfo kTimerProperties[] = {
    Kind(kKindInteger),  // 8 interval
};

// Where each class property sits in the stored properties.
constexpr ClassField<WindowProperties> kWindowFields[] = {
    Field<&WindowProperties::title>(kWindowTitle),
    Field<&WindowProperties::borderStyle>(kWindowBorderStyle),
    // Read back as the signed 32-bit value it was stored as (kNoColor is negative).
    {kWindowBackgroundColour,
     [](const WindowProperties& p) {
       return PropertyValue{.number = static_cast<int32_t>(p.backgroundColour)};
     },
     [](WindowProperties& p, const PropertyValue& v) {
       p.backgroundColour = static_cast<uint32_t>(v.number);
     }},
    Field<&WindowProperties::picture>(kWindowPicture),
    Field<&WindowProperties::picturePlacement>(kWindowPicturePlacement),
    Field<&WindowProperties::sound>(kWindowSound),
    Field<&WindowProperties::soundPlaying>(kWindowSoundPlaying),
    Field<&WindowProperties::controlBox>(kWindowControlBox),
    Field<&WindowProperties::maximizeButton>(kWindowMaximizeButton),
    Field<&WindowProperties::minimizeButton>(kWindowMinimizeButton),
    Field<&WindowProperties::startPosition>(kWindowStartPosition),
    Field<&WindowProperties::closeAllowed>(kWindowCloseAllowed),
    Field<&WindowProperties::icon>(kWindowIcon),
    Field<&WindowProperties::enterMovesFocus>(kWindowEnterMovesFocus),
    Field<&WindowProperties::escCloses>(kWindowEscCloses),
    Field<&WindowProperties::f1Help>(kWindowF1Help),
    Field<&WindowProperties::helpFile>(kWindowHelpFile),
    Field<&WindowProperties::helpContext>(kWindowHelpContext),
    Field<&WindowProperties::showInTaskbar>(kWindowShowInTaskbar),
    Field<&WindowProperties::dragByClient>(kWindowDragByClient),
    Field<&WindowProperties::shape>(kWindowShape),
    Field<&WindowProperties::alwaysOnTop>(kWindowAlwaysOnTop),
    Field<&WindowProperties::keepCaptionActive>(kWindowKeepCaptionActive),
    Field<&WindowProperties::className>(kWindowClassName),
};
static_assert(std::size(kWindowFields) == std::size(kWindowProperties));

constexpr ClassField<ButtonProperties> kButtonFields[] = {
    Field<&ButtonProperties::picture>(kButtonPicture),
    ChoiceField<&ButtonProperties::type, 0, 1>(kButtonType),
    Field<&ButtonProperties::caption>(kButtonCaption),
    ChoiceField<&ButtonProperties::horizontalAlign, 0, 2>(kButtonHorizontalAlign),
    ChoiceField<&ButtonProperties::verticalAlign, 0, 2>(kButtonVerticalAlign),
    Field<&ButtonProperties::font>(kButtonFont),
};
static_assert(std::size(kButtonFields) == std::size(kButtonProperties));

}  // namespace

std::span<const PropertyInfo> WindowPropertyTable() { return kWindowProperties; }
std::span<const PropertyInfo> ButtonPropertyTable() { return kButtonProperties; }
std::span<const PropertyInfo> TimerPropertyTable() { return kTimerProperties; }

PropertyValue GetWindowProperty(const WindowProperties& p, int k) {
  return GetField<WindowProperties>(kWindowFields, p, k);
}

bool SetWindowProperty(WindowProperties& p, int k, const PropertyValue& v) {
  if (!SetField<WindowProperties>(kWindowFields, p, k, v)) return false;
  ClampChoices(p);
  return true;
}

PropertyValue GetButtonProperty(const ButtonProperties& p, int k) {
  return GetField<ButtonProperties>(kButtonFields, p, k);
}

bool SetButtonProperty(ButtonProperties& p, int k, const PropertyValue& v) {
  return SetField<ButtonProperties>(kButtonFields, p, k, v);
}

PropertyValue GetTimerProperty(const TimerProperties& p, int k) {
  if (k + kFirstClassProperty != kTimerInterval) return {};
  return PropertyValue{.number = p.interval};
}

bool SetTimerProperty(TimerProperties& p, int k, const PropertyValue& v) {
  if (k + kFirstClassProperty != kTimerInterval) return false;
  p.interval = std::max(static_cast<int32_t>(v.number), 0);  // a negative interval counts as 0
  return true;
}

}  // namespace runtime
