// Property tables of the core library's classes and the mapping of class properties onto the
// stored properties of each class.
#include "runtime/classes/builtin_classes.h"

#include <algorithm>
#include <string>

namespace runtime {
namespace {

constexpr PropertyInfo Kind(uint16_t kind) { return PropertyInfo{.kind = kind}; }

// Indexes 8 to 31, in the order of WindowProperty.
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
static_assert(std::size(kWindowProperties) == kWindowClassName - 7);

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

PropertyValue Number(int64_t n) { return PropertyValue{.number = n}; }
PropertyValue ByteValue(std::span<const uint8_t> b) { return PropertyValue{.bytes = {b.begin(), b.end()}}; }
PropertyValue Text(const std::string& s) { return PropertyValue{.bytes = {s.begin(), s.end()}}; }
std::string TextOf(const PropertyValue& v) { return std::string(v.bytes.begin(), v.bytes.end()); }
int32_t Int(const PropertyValue& v) { return static_cast<int32_t>(v.number); }
bool Logical(const PropertyValue& v) { return v.number != 0; }

}  // namespace

std::span<const PropertyInfo> WindowPropertyTable() { return kWindowProperties; }
std::span<const PropertyInfo> ButtonPropertyTable() { return kButtonProperties; }
std::span<const PropertyInfo> TimerPropertyTable() { return kTimerProperties; }

PropertyValue GetWindowProperty(const WindowProperties& p, int k) {
  switch (k + 8) {
    case kWindowTitle:
      return Text(p.title);
    case kWindowBorderStyle:
      return Number(p.borderStyle);
    case kWindowBackgroundColour:
      return Number(static_cast<int32_t>(p.backgroundColour));
    case kWindowPicture:
      return ByteValue(p.picture);
    case kWindowPicturePlacement:
      return Number(p.picturePlacement);
    case kWindowSound:
      return ByteValue(p.sound);
    case kWindowSoundPlaying:
      return Number(p.soundPlaying);
    case kWindowControlBox:
      return Number(p.controlBox);
    case kWindowMaximizeButton:
      return Number(p.maximizeButton);
    case kWindowMinimizeButton:
      return Number(p.minimizeButton);
    case kWindowStartPosition:
      return Number(p.startPosition);
    case kWindowCloseAllowed:
      return Number(p.closeAllowed);
    case kWindowIcon:
      return ByteValue(p.icon);
    case kWindowEnterMovesFocus:
      return Number(p.enterMovesFocus);
    case kWindowEscCloses:
      return Number(p.escCloses);
    case kWindowF1Help:
      return Number(p.f1Help);
    case kWindowHelpFile:
      return Text(p.helpFile);
    case kWindowHelpContext:
      return Number(p.helpContext);
    case kWindowShowInTaskbar:
      return Number(p.showInTaskbar);
    case kWindowDragByClient:
      return Number(p.dragByClient);
    case kWindowShape:
      return Number(p.shape);
    case kWindowAlwaysOnTop:
      return Number(p.alwaysOnTop);
    case kWindowKeepCaptionActive:
      return Number(p.keepCaptionActive);
    case kWindowClassName:
      return Text(p.className);
    default:
      return {};
  }
}

bool SetWindowProperty(WindowProperties& p, int k, const PropertyValue& v) {
  switch (k + 8) {
    case kWindowTitle:
      p.title = TextOf(v);
      break;
    case kWindowBorderStyle:
      p.borderStyle = Int(v);
      break;
    case kWindowBackgroundColour:
      p.backgroundColour = static_cast<uint32_t>(v.number);
      break;
    case kWindowPicture:
      p.picture = v.bytes;
      break;
    case kWindowPicturePlacement:
      p.picturePlacement = Int(v);
      break;
    case kWindowSound:
      p.sound = v.bytes;
      break;
    case kWindowSoundPlaying:
      p.soundPlaying = Int(v);
      break;
    case kWindowControlBox:
      p.controlBox = Logical(v);
      break;
    case kWindowMaximizeButton:
      p.maximizeButton = Logical(v);
      break;
    case kWindowMinimizeButton:
      p.minimizeButton = Logical(v);
      break;
    case kWindowStartPosition:
      p.startPosition = Int(v);
      break;
    case kWindowCloseAllowed:
      p.closeAllowed = Logical(v);
      break;
    case kWindowIcon:
      p.icon = v.bytes;
      break;
    case kWindowEnterMovesFocus:
      p.enterMovesFocus = Logical(v);
      break;
    case kWindowEscCloses:
      p.escCloses = Logical(v);
      break;
    case kWindowF1Help:
      p.f1Help = Logical(v);
      break;
    case kWindowHelpFile:
      p.helpFile = TextOf(v);
      break;
    case kWindowHelpContext:
      p.helpContext = Int(v);
      break;
    case kWindowShowInTaskbar:
      p.showInTaskbar = Logical(v);
      break;
    case kWindowDragByClient:
      p.dragByClient = Logical(v);
      break;
    case kWindowShape:
      p.shape = Int(v);
      break;
    case kWindowAlwaysOnTop:
      p.alwaysOnTop = Logical(v);
      break;
    case kWindowKeepCaptionActive:
      p.keepCaptionActive = Logical(v);
      break;
    case kWindowClassName:
      p.className = TextOf(v);
      break;
    default:
      return false;
  }
  ClampChoices(p);
  return true;
}

PropertyValue GetButtonProperty(const ButtonProperties& p, int k) {
  switch (k + 8) {
    case kButtonPicture:
      return ByteValue(p.picture);
    case kButtonType:
      return Number(p.type);
    case kButtonCaption:
      return Text(p.caption);
    case kButtonHorizontalAlign:
      return Number(p.horizontalAlign);
    case kButtonVerticalAlign:
      return Number(p.verticalAlign);
    case kButtonFont:
      return ByteValue(p.font);
    default:
      return {};
  }
}

bool SetButtonProperty(ButtonProperties& p, int k, const PropertyValue& v) {
  switch (k + 8) {
    case kButtonPicture:
      p.picture = v.bytes;
      return true;
    case kButtonType:
      p.type = ClampChoice(Int(v), 0, 1);
      return true;
    case kButtonCaption:
      p.caption = TextOf(v);
      return true;
    case kButtonHorizontalAlign:
      p.horizontalAlign = ClampChoice(Int(v), 0, 2);
      return true;
    case kButtonVerticalAlign:
      p.verticalAlign = ClampChoice(Int(v), 0, 2);
      return true;
    case kButtonFont:
      p.font = v.bytes;
      return true;
    default:
      return false;
  }
}

PropertyValue GetTimerProperty(const TimerProperties& p, int k) {
  if (k + 8 != kTimerInterval) return {};
  return Number(p.interval);
}

bool SetTimerProperty(TimerProperties& p, int k, const PropertyValue& v) {
  if (k + 8 != kTimerInterval) return false;
  p.interval = std::max(Int(v), 0);  // a negative interval counts as 0
  return true;
}

}  // namespace runtime
