// Typed wrappers over the command table for application code. Each calls its command through
// the table (the one path to a command); texts and byte-sets come back as new heap blocks
// owned by the caller.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

#include "app/services/arguments.h"
#include "app/services/system.h"
#include "runtime/core/values.h"

namespace services {

// Joins texts (a null text adds nothing); the empty result is nullptr. Not a table command:
// the runtime's own text joining.
char* ConcatTexts(std::span<const char* const> texts);
inline OwnedText Concat(std::initializer_list<const char*> texts) {
  return OwnedText(ConcatTexts(std::span<const char* const>(texts.begin(), texts.size())));
}

double CurrentTime();
double TimeInterval(double t1, double t2, int32_t unit);
OwnedText GetRunDirectory();
bool FileExists(const char* path);
OwnedBytes ReadFileBytes(const char* path);
int32_t ByteSetLength(const uint8_t* byteSet);
OwnedText ReadEnvironment(const char* name);
OwnedBytes NewByteSet(int32_t n);
int32_t BitOr(std::initializer_list<int32_t> values);
int32_t BitAnd(std::initializer_list<int32_t> values);
int32_t BitNot(int32_t value);
int32_t ShiftLeft(int32_t value, int32_t count);
int32_t ShiftRight(int32_t value, int32_t count);
// Show mode 1 hidden … 6 minimized; not given: 2, normal.
bool RunCommandLine(const char* line, bool wait, std::optional<int32_t> showMode = std::nullopt);
double TextToNumber(const runtime::TypedValue& value);
double TextToNumber(const char* text);
float TextToFloat(const runtime::TypedValue& value);
OwnedText LeftText(const char* text, int32_t n);
int32_t FindText(const char* text, const char* sought, std::optional<int32_t> start = std::nullopt,
                 bool ignoreCase = false);
OwnedText MidText(const char* text, int32_t start, int32_t n);
OwnedText ToText(const runtime::TypedValue& value);
// Title not given: "信息："; owner not given: none.
int32_t ShowMessageBox(const runtime::TypedValue& message, int32_t style,
                       std::optional<const char*> title = std::nullopt,
                       const runtime::TypedValue& owner = runtime::TypedValue::Omitted());
int32_t MakeRgb(int32_t red, int32_t green, int32_t blue);
void CopyBytesOut(const runtime::TypedValue& value, void* destination,
                  std::optional<int32_t> length = std::nullopt);
OwnedBytes BytesFromAddress(const void* address, int32_t length);
OwnedBytes ToByteSet(const runtime::TypedValue& value);
OwnedText Spaces(int32_t n);
double Absolute(double value);

// Window services. A unit is a window or component named by runtime::UnitReference.
void DestroyWindowUnit(const runtime::TypedValue& unit);
void RefreshUnit(const runtime::TypedValue& unit);
// Not given a parent: the window has none.
bool LoadWindow(const runtime::TypedValue& window,
                const runtime::TypedValue& parent = runtime::TypedValue::Omitted(), bool modal = false);
// The unit's window handle (0 when it does not exist).
uintptr_t GetUnitHandle(const runtime::TypedValue& unit);
bool IsWindowLoaded(const runtime::TypedValue& window);
// What is not given keeps its value.
void MoveUnit(const runtime::TypedValue& unit, std::optional<int32_t> left, std::optional<int32_t> top,
              std::optional<int32_t> width = std::nullopt, std::optional<int32_t> height = std::nullopt);

// Thread library.
bool StartThread(Subroutine routine, std::optional<intptr_t> parameter = std::nullopt,
                 int32_t* handleVariable = nullptr);
bool ForceEndThread(intptr_t handle);
// Application-interface library.
OwnedText GetBrowserVersionText();
// Operating-system interface library: 1 documents … 8 application data, 9 Windows,
// 10 system, 11 temporary folder; with a trailing backslash.
OwnedText GetSpecialFolder(int32_t code);

}  // namespace services
