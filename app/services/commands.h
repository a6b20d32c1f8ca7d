// The command routines of the runtime libraries, in the shape of runtime::CommandRoutine.
// Application code calls them through the command table (command_table.h), never directly.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/core/values.h"

namespace services {

#define NETMEND_COMMAND(name) \
  void name(runtime::TypedValue* result, int32_t argumentCount, const runtime::TypedValue* arguments)

// Time.
NETMEND_COMMAND(CurrentTimeCommand);
NETMEND_COMMAND(TimeIntervalCommand);
// Files, environment, processes, message boxes.
NETMEND_COMMAND(GetRunDirectoryCommand);
NETMEND_COMMAND(FileExistsCommand);
NETMEND_COMMAND(ReadFileBytesCommand);
NETMEND_COMMAND(ReadEnvironmentCommand);
NETMEND_COMMAND(RunCommandLineCommand);
NETMEND_COMMAND(ShowMessageBoxCommand);
// Byte-sets and raw bytes.
NETMEND_COMMAND(ByteSetLengthCommand);
NETMEND_COMMAND(NewByteSetCommand);
NETMEND_COMMAND(CopyBytesOutCommand);
NETMEND_COMMAND(BytesFromAddressCommand);
NETMEND_COMMAND(ToByteSetCommand);
// Numbers and bits.
NETMEND_COMMAND(BitOrCommand);
NETMEND_COMMAND(BitAndCommand);
NETMEND_COMMAND(BitNotCommand);
NETMEND_COMMAND(ShiftLeftCommand);
NETMEND_COMMAND(ShiftRightCommand);
NETMEND_COMMAND(MakeRgbCommand);
NETMEND_COMMAND(AbsoluteCommand);
// Texts.
NETMEND_COMMAND(TextToNumberCommand);
NETMEND_COMMAND(TextToFloatCommand);
NETMEND_COMMAND(LeftTextCommand);
NETMEND_COMMAND(FindTextCommand);
NETMEND_COMMAND(MidTextCommand);
NETMEND_COMMAND(ToTextCommand);
NETMEND_COMMAND(SpacesCommand);
// Thread library.
NETMEND_COMMAND(StartThreadCommand);
NETMEND_COMMAND(ForceEndThreadCommand);
// Application-interface library.
NETMEND_COMMAND(GetBrowserVersionTextCommand);
// Operating-system interface library.
NETMEND_COMMAND(GetSpecialFolderCommand);
// Window services (window_commands.cpp). A unit argument names a window or component by window
// id (low word) and unit id (high word), with the class's type reference as its type code.
// The window's own unit goes through its queue (at once when the second argument is true); a
// component at once.
NETMEND_COMMAND(DestroyWindowUnitCommand);
// Paints what is invalid in the unit's window now.
NETMEND_COMMAND(RefreshUnitCommand);
// (window, parent window (optional), modal) → logical; false when the parent is gone.
NETMEND_COMMAND(LoadWindowCommand);
// The unit's window handle, 0 when it does not exist.
NETMEND_COMMAND(GetUnitHandleCommand);
// True when the window is loaded and its unit can be found.
NETMEND_COMMAND(IsWindowLoadedCommand);
// (unit, left, top, width, height), each optional; -1 for a width or height keeps it.
NETMEND_COMMAND(MoveUnitCommand);

#undef NETMEND_COMMAND

// Helpers shared by the commands.

// The text of a value as ToText gives it (empty for types that have none).
std::string ValueToText(const runtime::TypedValue& value);
// The number of a value as TextToNumber gives it.
double ValueToNumber(const runtime::TypedValue& value);
// A decimal number read by the C library's atof rules in the "C" locale (leading white space,
// sign, digits with an optional point, optional exponent; the longest such prefix; 0 when
// there is none), whatever the process locale.
double ParseDecimal(std::string_view text);
// GBK full-width letters, digits and signs turned into ASCII, as TextToNumber reads them.
std::string NormalizeFullWidth(std::string_view text);
// The interval between two date-times in the unit (1 years … 8 seconds, clamped), t1 - t2.
double IntervalBetween(double t1, double t2, int32_t unit);
// A GBK lead byte (the first of a double-byte character).
constexpr bool IsLeadByte(uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace services
