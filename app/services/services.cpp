// Typed wrappers: each builds the typed arguments and calls through the command table.
#include "app/services/services.h"

#include <vector>

#include "app/services/command_table.h"

namespace services {

using runtime::TypedValue;

namespace {

TypedValue Address(const void* pointer) {
  return TypedValue::Long(static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)));
}

OwnedText TextResult(const TypedValue& result) { return OwnedText(const_cast<char*>(result.AsText())); }
OwnedBytes BytesResult(const TypedValue& result) {
  return OwnedBytes(const_cast<uint8_t*>(result.AsBytes()));
}

int32_t CombineAll(int command, std::initializer_list<int32_t> values) {
  std::vector<TypedValue> arguments;
  for (int32_t value : values) arguments.push_back(TypedValue::Int(value));
  return CallCommand(kCoreLibrary, command, arguments).AsInt32();
}

}  // namespace

double CurrentTime() { return CallCore(kCurrentTime, {}).AsDouble(); }

double TimeInterval(double t1, double t2, int32_t unit) {
  return CallCore(kTimeInterval, {TypedValue::DateTime(t1), TypedValue::DateTime(t2), TypedValue::Int(unit)})
      .AsDouble();
}

OwnedText GetRunDirectory() { return TextResult(CallCore(kGetRunDirectory, {})); }

bool FileExists(const char* path) { return CallCore(kFileExists, {TypedValue::Text(path)}).low != 0; }

OwnedBytes ReadFileBytes(const char* path) {
  return BytesResult(CallCore(kReadFileBytes, {TypedValue::Text(path)}));
}

int32_t ByteSetLength(const uint8_t* byteSet) {
  return CallCore(kByteSetLength, {TypedValue::Bytes(byteSet)}).AsInt32();
}

OwnedText ReadEnvironment(const char* name) {
  return TextResult(CallCore(kReadEnvironment, {TypedValue::Text(name)}));
}

OwnedBytes NewByteSet(int32_t n) { return BytesResult(CallCore(kNewByteSet, {TypedValue::Int(n)})); }

int32_t BitOr(std::initializer_list<int32_t> values) { return CombineAll(kBitOr, values); }
int32_t BitAnd(std::initializer_list<int32_t> values) { return CombineAll(kBitAnd, values); }
int32_t BitNot(int32_t value) { return CallCore(kBitNot, {TypedValue::Int(value)}).AsInt32(); }

int32_t ShiftLeft(int32_t value, int32_t count) {
  return CallCore(kShiftLeft, {TypedValue::Int(value), TypedValue::Int(count)}).AsInt32();
}

int32_t ShiftRight(int32_t value, int32_t count) {
  return CallCore(kShiftRight, {TypedValue::Int(value), TypedValue::Int(count)}).AsInt32();
}

bool RunCommandLine(const char* line, bool wait, std::optional<int32_t> showMode) {
  const TypedValue mode = showMode ? TypedValue::Int(*showMode) : TypedValue::Omitted();
  return CallCore(kRunCommandLine, {TypedValue::Text(line), TypedValue::Bool(wait), mode}).low != 0;
}

double TextToNumber(const TypedValue& value) { return CallCore(kTextToNumber, {value}).AsDouble(); }
double TextToNumber(const char* text) { return TextToNumber(TypedValue::Text(text)); }
float TextToFloat(const TypedValue& value) { return CallCore(kTextToFloat, {value}).AsFloat(); }

OwnedText LeftText(const char* text, int32_t n) {
  return TextResult(CallCore(kLeftText, {TypedValue::Text(text), TypedValue::Int(n)}));
}

int32_t FindText(const char* text, const char* sought, std::optional<int32_t> start, bool ignoreCase) {
  const TypedValue from = start ? TypedValue::Int(*start) : TypedValue::Omitted();
  return CallCore(kFindText,
                  {TypedValue::Text(text), TypedValue::Text(sought), from, TypedValue::Bool(ignoreCase)})
      .AsInt32();
}

OwnedText MidText(const char* text, int32_t start, int32_t n) {
  return TextResult(CallCore(kMidText, {TypedValue::Text(text), TypedValue::Int(start), TypedValue::Int(n)}));
}

OwnedText ToText(const TypedValue& value) { return TextResult(CallCore(kToText, {value})); }

int32_t ShowMessageBox(const TypedValue& message, int32_t style, std::optional<const char*> title,
                       const TypedValue& owner) {
  const TypedValue titleValue = title ? TypedValue::Text(*title) : TypedValue::Omitted();
  return CallCore(kShowMessageBox, {message, TypedValue::Int(style), titleValue, owner}).AsInt32();
}

int32_t MakeRgb(int32_t red, int32_t green, int32_t blue) {
  return CallCore(kMakeRgb, {TypedValue::Int(red), TypedValue::Int(green), TypedValue::Int(blue)}).AsInt32();
}

void CopyBytesOut(const TypedValue& value, void* destination, std::optional<int32_t> length) {
  const TypedValue limit = length ? TypedValue::Int(*length) : TypedValue::Omitted();
  CallCore(kCopyBytesOut, {value, Address(destination), limit});
}

OwnedBytes BytesFromAddress(const void* address, int32_t length) {
  return BytesResult(CallCore(kBytesFromAddress, {Address(address), TypedValue::Int(length)}));
}

OwnedBytes ToByteSet(const TypedValue& value) { return BytesResult(CallCore(kToByteSet, {value})); }

OwnedText Spaces(int32_t n) { return TextResult(CallCore(kSpaces, {TypedValue::Int(n)})); }

double Absolute(double value) { return CallCore(kAbsolute, {TypedValue::Double(value)}).AsDouble(); }

void DestroyWindowUnit(const TypedValue& unit) { CallCore(kDestroyWindowUnit, {unit}); }

void RefreshUnit(const TypedValue& unit) { CallCore(kRefreshUnit, {unit}); }

bool LoadWindow(const TypedValue& window, const TypedValue& parent, bool modal) {
  return CallCore(kLoadWindow, {window, parent, TypedValue::Bool(modal)}).low != 0;
}

uintptr_t GetUnitHandle(const TypedValue& unit) {
  // The service answers with a 32-bit integer; window handles are sign-extended 32-bit values
  // on 64-bit Windows too.
  return static_cast<uintptr_t>(static_cast<intptr_t>(CallCore(kGetUnitHandle, {unit}).AsInt32()));
}

bool IsWindowLoaded(const TypedValue& window) { return CallCore(kIsWindowLoaded, {window}).low != 0; }

void MoveUnit(const TypedValue& unit, std::optional<int32_t> left, std::optional<int32_t> top,
              std::optional<int32_t> width, std::optional<int32_t> height) {
  auto optional = [](std::optional<int32_t> v) { return v ? TypedValue::Int(*v) : TypedValue::Omitted(); };
  CallCore(kMoveUnit, {unit, optional(left), optional(top), optional(width), optional(height)});
}

bool StartThread(Subroutine routine, std::optional<intptr_t> parameter, int32_t* handleVariable) {
  const TypedValue routineValue =
      TypedValue::Pointer(reinterpret_cast<const void*>(routine), runtime::kTypeSubroutine);
  const TypedValue parameterValue =
      parameter ? TypedValue::Long(static_cast<int64_t>(*parameter)) : TypedValue::Omitted();
  const TypedValue variable =
      handleVariable ? TypedValue::Pointer(handleVariable, runtime::kTypeInt) : TypedValue::Omitted();
  return CallCommand(kThreadLibrary, kStartThread, {routineValue, parameterValue, variable}).low != 0;
}

bool ForceEndThread(intptr_t handle) {
  return CallCommand(kThreadLibrary, kForceEndThread, {TypedValue::Long(static_cast<int64_t>(handle))}).low !=
         0;
}

OwnedText GetBrowserVersionText() {
  return TextResult(CallCommand(kApplicationInterfaceLibrary, kGetBrowserVersionText, {}));
}

OwnedText GetSpecialFolder(int32_t code) {
  return TextResult(CallCommand(kOsInterfaceLibrary, kGetSpecialFolder, {TypedValue::Int(code)}));
}

}  // namespace services
