// Class property blocks: the class-specific tail of a unit record for the classes this
// program's templates use (window, Button, Timer). Each class has its properties
// with their defaults, a reader that gives the defaults for an empty block and rejects a block
// newer than the class knows, and a constexpr writer that clamps choice values to their range.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/colors.h"
#include "runtime/templates/font_record.h"

namespace runtime {

using base::ByteReader;
using base::Bytes;
using base::PutI32;
using base::PutPrefixed;
using base::PutU32;

enum class ClassBlockStatus {
  kOk,
  kNewerVersion,  // the block's version is above what the class knows
  kMalformed,     // a field runs past the end of the block
};

template <typename Properties>
struct ClassBlockRead {
  ClassBlockStatus status = ClassBlockStatus::kOk;
  Properties properties;  // the defaults unless status is kOk

  bool Ok() const { return status == ClassBlockStatus::kOk; }
};

constexpr int32_t ClampChoice(int32_t value, int32_t low, int32_t high) {
  return std::clamp(value, low, high);
}

// Reads a class block by the rules every class block follows: an empty block gives the
// defaults, a block newer than the class knows is rejected, and a field running past the end
// makes it malformed (bytes after the last known field are ignored). `readFields(reader,
// version, properties)` reads the fields of a block of that version over the defaults.
template <typename Properties, typename ReadFields>
ClassBlockRead<Properties> ReadClassBlock(std::span<const uint8_t> block, ReadFields readFields) {
  ByteReader reader(block);
  ClassBlockRead<Properties> result;
  if (reader.AtEnd()) return result;
  const uint32_t version = reader.U32();
  if (!reader.Ok()) {
    result.status = ClassBlockStatus::kMalformed;
    return result;
  }
  if (version > Properties::kVersion) {
    result.status = ClassBlockStatus::kNewerVersion;
    return result;
  }
  Properties p;
  readFields(reader, version, p);
  if (!reader.Ok()) return {ClassBlockStatus::kMalformed, {}};
  return {ClassBlockStatus::kOk, std::move(p)};
}

inline bool ReadLogical(ByteReader& reader) { return reader.U32() != 0; }

// ---- window ----

// Property indexes of the window class (0 to 7 are the common unit properties).
enum WindowProperty : int {
  kWindowTitle = 8,
  kWindowBorderStyle = 9,
  kWindowBackgroundColour = 10,
  kWindowPicture = 11,
  kWindowPicturePlacement = 12,
  kWindowSound = 13,
  kWindowSoundPlaying = 14,
  kWindowControlBox = 15,
  kWindowMaximizeButton = 16,
  kWindowMinimizeButton = 17,
  kWindowStartPosition = 18,
  kWindowCloseAllowed = 19,
  kWindowIcon = 20,
  kWindowEnterMovesFocus = 21,
  kWindowEscCloses = 22,
  kWindowF1Help = 23,
  kWindowHelpFile = 24,
  kWindowHelpContext = 25,
  kWindowShowInTaskbar = 26,
  kWindowDragByClient = 27,
  kWindowShape = 28,
  kWindowAlwaysOnTop = 29,
  kWindowKeepCaptionActive = 30,
  kWindowClassName = 31,
};

using base::kNoColor;

struct WindowProperties {
  static constexpr uint32_t kVersion = 6;

  int32_t borderStyle = 2;               // 0 none ... 6 fixed with sunken client edge
  int32_t picturePlacement = 1;          // 0 once at the top-left corner, 1 to 3 other placements
  uint32_t backgroundColour = kNoColor;  // kNoColor: the system's button-face colour
  bool maximizeButton = false;
  bool minimizeButton = true;
  bool controlBox = true;
  int32_t startPosition = 1;  // 0 as stored, 1 centred, 2 minimized, 3 maximized
  bool closeAllowed = true;
  int32_t soundPlaying = 0;  // 0 repeat, 1 once, 2 not played automatically
  bool enterMovesFocus = false;
  bool escCloses = true;
  bool f1Help = false;
  int32_t helpContext = 0;
  bool showInTaskbar = true;       // version 2 on
  bool dragByClient = false;       // version 3 on
  int32_t shape = 0;               // version 3 on: 0 rectangle, 1 ellipse, 2 rounded, 3 to 29 others
  bool alwaysOnTop = false;        // version 4 on
  bool keepCaptionActive = false;  // version 5 on
  std::string className;           // version 6: empty means "KVWindow"
  Bytes picture;
  Bytes icon;
  Bytes sound;
  std::string title;
  std::string helpFile;  // empty: the program file name with the extension "hlp"

  bool operator==(const WindowProperties&) const = default;
};

constexpr void ClampChoices(WindowProperties& p) {
  p.borderStyle = ClampChoice(p.borderStyle, 0, 6);
  p.picturePlacement = ClampChoice(p.picturePlacement, 0, 3);
  p.soundPlaying = ClampChoice(p.soundPlaying, 0, 2);
  p.startPosition = ClampChoice(p.startPosition, 0, 3);
  p.shape = ClampChoice(p.shape, 0, 29);
}

ClassBlockRead<WindowProperties> ReadWindowBlock(std::span<const uint8_t> block);

// Always the newest version, every field present.
constexpr Bytes WriteWindowBlock(WindowProperties p) {
  ClampChoices(p);
  Bytes out;
  PutU32(out, WindowProperties::kVersion);
  for (int32_t word :
       {p.borderStyle, p.picturePlacement, static_cast<int32_t>(p.backgroundColour),
        int32_t{p.maximizeButton}, int32_t{p.minimizeButton}, int32_t{p.controlBox}, p.startPosition,
        int32_t{p.closeAllowed}, p.soundPlaying, int32_t{p.enterMovesFocus}, int32_t{p.escCloses},
        int32_t{p.f1Help}, p.helpContext, int32_t{p.showInTaskbar}, int32_t{p.dragByClient}, p.shape,
        int32_t{p.alwaysOnTop}, int32_t{p.keepCaptionActive}}) {
    PutI32(out, word);
  }
  PutPrefixed(out, p.className);
  PutPrefixed(out, p.picture);
  PutPrefixed(out, p.icon);
  PutPrefixed(out, p.sound);
  PutPrefixed(out, p.title);
  PutPrefixed(out, p.helpFile);
  return out;
}

// ---- Button ----

enum ButtonProperty : int {
  kButtonPicture = 8,
  kButtonType = 9,
  kButtonCaption = 10,
  kButtonHorizontalAlign = 11,
  kButtonVerticalAlign = 12,
  kButtonFont = 13,
};

// "按钮" in the system code page, spelled in bytes so that no compiler's idea of literals changes it.
inline constexpr char kDefaultButtonCaption[] = "\xB0\xB4\xC5\xA5";

struct ButtonProperties {
  static constexpr uint32_t kVersion = 1;

  int32_t type = 0;             // 0 normal, 1 default button
  int32_t horizontalAlign = 1;  // 0 left, 1 centre, 2 right
  int32_t verticalAlign = 1;    // 0 top, 1 centre, 2 bottom
  Bytes picture;
  Bytes font;  // a 60-byte font record; anything else means the default GUI font
  std::string caption = kDefaultButtonCaption;

  bool operator==(const ButtonProperties&) const = default;
};

ClassBlockRead<ButtonProperties> ReadButtonBlock(std::span<const uint8_t> block);

constexpr Bytes WriteButtonBlock(const ButtonProperties& p) {
  Bytes out;
  PutU32(out, ButtonProperties::kVersion);
  PutI32(out, p.type);
  PutI32(out, p.horizontalAlign);
  PutI32(out, p.verticalAlign);
  PutPrefixed(out, p.picture);
  PutPrefixed(out, p.font);
  PutPrefixed(out, p.caption);
  return out;
}

// ---- Timer ----

enum TimerProperty : int { kTimerInterval = 8 };

struct TimerProperties {
  static constexpr uint32_t kVersion = 1;

  int32_t interval = 0;  // milliseconds; 0 stopped

  bool operator==(const TimerProperties&) const = default;
};

ClassBlockRead<TimerProperties> ReadTimerBlock(std::span<const uint8_t> block);

constexpr Bytes WriteTimerBlock(const TimerProperties& p) {
  Bytes out;
  PutU32(out, TimerProperties::kVersion);
  PutI32(out, p.interval);
  return out;
}

}  // namespace runtime
