// The command table.
#include "app/services/command_table.h"

#include <array>

#include "app/services/commands.h"

namespace services {
namespace {

using runtime::CommandRoutine;

constexpr std::array<CommandRoutine, kCoreCommandCount> kCoreCommands = {
    DestroyWindowUnitCommand,
    CurrentTimeCommand,
    TimeIntervalCommand,
    GetRunDirectoryCommand,
    FileExistsCommand,
    ReadFileBytesCommand,
    ByteSetLengthCommand,
    RefreshUnitCommand,
    LoadWindowCommand,
    GetUnitHandleCommand,
    ReadEnvironmentCommand,
    NewByteSetCommand,
    BitOrCommand,
    IsWindowLoadedCommand,
    MoveUnitCommand,
    RunCommandLineCommand,
    TextToNumberCommand,
    ShiftLeftCommand,
    ShiftRightCommand,
    BitAndCommand,
    LeftTextCommand,
    FindTextCommand,
    MidTextCommand,
    ToTextCommand,
    TextToFloatCommand,
    ShowMessageBoxCommand,
    MakeRgbCommand,
    CopyBytesOutCommand,
    BytesFromAddressCommand,
    ToByteSetCommand,
    SpacesCommand,
    BitNotCommand,
    AbsoluteCommand,
};

constexpr CommandRoutine kThreadCommands[] = {StartThreadCommand, ForceEndThreadCommand};
constexpr CommandRoutine kApplicationInterfaceCommands[] = {GetBrowserVersionTextCommand};
constexpr CommandRoutine kOsInterfaceCommands[] = {GetSpecialFolderCommand};

std::span<const CommandRoutine> LibraryCommands(int library) {
  switch (library) {
    case kCoreLibrary:
      return kCoreCommands;
    case kThreadLibrary:
      return kThreadCommands;
    case kApplicationInterfaceLibrary:
      return kApplicationInterfaceCommands;
    case kOsInterfaceLibrary:
      return kOsInterfaceCommands;
    default:
      return {};
  }
}

}  // namespace

CommandRoutine FindCommand(int library, int command) {
  const auto commands = LibraryCommands(library);
  if (command < 0 || static_cast<size_t>(command) >= commands.size()) return nullptr;
  return commands[static_cast<size_t>(command)];
}

runtime::TypedValue CallCommand(int library, int command, std::span<const runtime::TypedValue> arguments) {
  // An empty position gives no routine, which the runtime reports as a runtime error.
  return runtime::CallCommand(FindCommand(library, command), arguments);
}

}  // namespace services
