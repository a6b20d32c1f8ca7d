// What a support library hands the form runtime: its unit classes (records with property
// tables and an interface function that gives the class's routines by operation number) and
// its notification routine. The built-in classes and the extension components plug in the
// same way; the runtime knows a class only through this record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/byte_writer.h"

namespace runtime {

using base::Bytes;

// A window of the window system (an HWND on Windows), 0 for none.
using WindowHandle = uintptr_t;
// A mouse cursor of the window system, 0 for the default one.
using CursorHandle = uintptr_t;

// State flags of a unit class.
inline constexpr uint32_t kClassIsWindow = 0x40;          // its units are windows
inline constexpr uint32_t kClassRaisesEvents = 0x04;      // with 0x40: may raise events
inline constexpr uint32_t kClassContainer = 0x100;        // its child list is used
inline constexpr uint32_t kClassNeverShown = 0x8000;      // the loader never shows its units
inline constexpr uint32_t kClassDragsWindow = 0x4000000;  // a left-button press on it drags the window

constexpr bool CanRaiseEvents(uint32_t state) { return (state & (kClassIsWindow | kClassRaisesEvents)) != 0; }

// Value kinds of class properties.
enum PropertyKind : uint16_t {
  kKindWord = 1000,
  kKindInteger = 1001,
  kKindLong = 1002,
  kKindLogical = 1003,
  kKindDateTime = 1004,
  kKindText = 1005,
  kKindChoice = 1006,
  kKindPicture = 1009,
  kKindIcon = 1010,
  kKindCursor = 1011,
  kKindSound = 1012,
  kKindFont = 1013,
  kKindColour = 1014,
  kKindColourOrTransparent = 1015,
  kKindFileName = 1016,
  kKindBackgroundColour = 1017,
  kKindData = 1023,
  kKindClassData = 1024,
};

struct PropertyInfo {
  const char* name = nullptr;
  const char* englishName = nullptr;
  const char* explanation = nullptr;
  uint16_t kind = kKindInteger;
  uint16_t state = 0;
  const char* const* choices = nullptr;  // null-terminated list for choice properties
};

struct EventInfo {
  const char* name = nullptr;
  const char* explanation = nullptr;
  uint32_t argumentCount = 0;
};

// The live object of one unit, made by its class's create routine. It owns the unit's window
// and lives exactly as long as that window; when it goes it tells the runtime (notification
// kNotifyUnitGone), so the runtime never deletes it.
class UnitObject {
 public:
  virtual ~UnitObject() = default;
  virtual WindowHandle Handle() const = 0;
};

// Style bits the loader chooses for a unit (Windows' values, which every class passes on).
inline constexpr uint32_t kStyleDisabled = 0x08000000;
inline constexpr uint32_t kStyleTabStop = 0x00010000;

// Parameters of a create routine, in the order the classes receive them.
struct CreateParams {
  std::span<const uint8_t> classBlock;
  uint32_t style = 0;       // kStyleDisabled and kStyleTabStop from the unit's flags
  WindowHandle parent = 0;  // the window for a component; the owner (or 0) for a window unit
  uint32_t controlId = 0;
  uintptr_t menu = 0;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  uint32_t designMode = 0;   // 1: the unit is made for the design environment (the loader passes 0)
  uint32_t childWindow = 0;  // 1 makes a window unit a child window; the loader passes 0
};

// A class property's value as a class takes and gives it: integers, logicals, choices and
// colours in `number`; texts (without terminator), byte-sets, fonts (a 60-byte font record)
// and cursor data in `bytes`.
struct PropertyValue {
  int64_t number = 0;
  Bytes bytes;

  bool operator==(const PropertyValue&) const = default;
};

// Operation numbers of the interface function.
enum InterfaceOperation : int {
  kOpCreate = 1,
  kOpEnablement = 2,  // components: is a property editable in the design environment now
  kOpEditor = 3,      // components: the design-time editor of a property
  kOpPropertyChanged = 4,
  kOpSerialize = 5,
  kOpGetProperty = 6,
  kOpWindowExtra = 7,
  kOpClaimsKey = 8,
  kOpExtra = 9,  // components: text conversion of stored data
  kOpButtonExtra = 10,
};

// Class property k is property index kFirstClassProperty + k: the indexes below it are the
// properties every unit has (left, top, width, height, ...).
inline constexpr int kFirstClassProperty = 8;

// Routines by operation. Property k is class property index − kFirstClassProperty.
using CreateRoutine = UnitObject* (*)(const CreateParams& params);  // nullptr: failed
// Returns 1 when the unit's window must be re-created from its serialised class block.
using PropertyChangedRoutine = int (*)(UnitObject& object, int k, const PropertyValue& value);
using SerializeRoutine = Bytes (*)(const UnitObject& object);
using GetPropertyRoutine = PropertyValue (*)(const UnitObject& object, int k);
// Returns 1 when the unit keeps the key from the window's own key handling.
using ClaimsKeyRoutine = int (*)(const UnitObject& object, uint32_t virtualKey);

// Design environment only (components): whether class property k may be edited now; 1 yes.
using EnablementRoutine = int (*)(const UnitObject& object, int k);
// Runs the design-time editor of class property k; 1 when it stored a new value.
using EditorRoutine = int (*)(UnitObject& object, int k);

// What the design environment hands a text conversion: a routine that converts one text (a
// caption, a font's face name) with its context.
struct TextConversion {
  std::string (*convert)(std::string_view text, void* context) = nullptr;
  void* context = nullptr;

  std::string operator()(std::string_view text) const {
    return convert ? convert(text, context) : std::string(text);
  }
};
// Loads stored class data, converts its texts and gives the data written anew (length with it).
using TextConversionRoutine = Bytes (*)(std::span<const uint8_t> data, const TextConversion& conversion);

using InterfaceRoutine = void (*)();
using InterfaceFunction = InterfaceRoutine (*)(int operation);

template <typename Routine>
InterfaceRoutine AsInterfaceRoutine(Routine routine) {
  return reinterpret_cast<InterfaceRoutine>(routine);
}

struct UnitClass {
  const char* name = nullptr;         // "按钮"
  const char* englishName = nullptr;  // "Button"
  const char* explanation = nullptr;
  uint32_t commandCount = 0;
  const void* commands = nullptr;
  uint32_t state = 0;
  uint32_t iconId = 0;
  uint32_t eventCount = 0;
  const EventInfo* events = nullptr;
  uint32_t propertyCount = 0;
  const PropertyInfo* properties = nullptr;  // class properties, the first is kFirstClassProperty
  InterfaceFunction interfaceFunction = nullptr;
  uint32_t elementCount = 0;
  const void* elements = nullptr;

  // The routine for an operation cast to its type, or nullptr.
  template <typename Routine>
  Routine Find(int operation) const {
    if (!interfaceFunction) return nullptr;
    return reinterpret_cast<Routine>(interfaceFunction(operation));
  }
  // Property info of class property k, or nullptr.
  const PropertyInfo* Property(int k) const {
    if (k < 0 || static_cast<uint32_t>(k) >= propertyCount) return nullptr;
    return &properties[k];
  }
};

// The record of a class with its name, state, property table and interface function.
template <typename Table>
UnitClass ClassRecord(const char* name, const char* englishName, uint32_t state, Table properties,
                      InterfaceFunction interfaceFunction) {
  UnitClass record;
  record.name = name;
  record.englishName = englishName;
  record.state = state;
  record.propertyCount = static_cast<uint32_t>(properties.size());
  record.properties = properties.data();
  record.interfaceFunction = interfaceFunction;
  return record;
}

// Notification codes between the support libraries and the runtime.
enum Notification : int {
  kLibraryStart = 1,          // runtime → library: (the runtime's routine, 0)
  kLibraryProgramEnd = 2,     // runtime → library: the program is ending
  kNotifyTemplates = 1001,    // → the template table
  kNotifyClassRecord = 1002,  // (type reference) → the unit class record
  kNotifyUnitGone = 2000,     // (window id, unit id or 0 for the window itself)
  kNotifyLoadWindow = 2005,   // (LoadRequest*) → 1 when loaded
  kNotifyEvent = 2008,        // (EventFrame*)
  kNotifySuspendEvents = 2009,
  kNotifyResumeEvents = 2010,
  kNotifyFreeArray = 2023,   // (array, element type)
  kNotifyAllocate = 2024,    // (bytes, soft) → block
  kNotifyFree = 2025,        // (block)
  kNotifyResize = 2026,      // (block, bytes) → block
  kNotifyError = 2027,       // (message text)
  kNotifyEndProgram = 2028,  // (exit code)
};

using NotifyRoutine = intptr_t (*)(int code, uintptr_t first, uintptr_t second);

struct LoadRequest {
  uint32_t windowId = 0;
  WindowHandle owner = 0;
  uint32_t modal = 0;
};

// One entry of the program's support-library table. A type reference (library number << 16 |
// class number, both counted from 1) indexes the table and then `classes`, whose slots may be
// empty for classes this program has no use for.
struct SupportLibrary {
  const char* name = nullptr;
  const char* identifier = nullptr;  // 32 characters
  std::span<const UnitClass* const> classes;
  NotifyRoutine notify = nullptr;
  // False for a library that could not be loaded: its units are shown as placeholders.
  bool loaded = true;
};

}  // namespace runtime
