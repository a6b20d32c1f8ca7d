// The program's declaration table, in the order of DeclaredIndex.
#include "runtime/core/program_declarations.h"

namespace runtime {
namespace {

// An empty library name means the six standard libraries are tried in turn.
constexpr Declaration kTable[] = {
    {"", "SendMessageA"},
    {"", "GetCurrentProcess"},
    {"kernel32", "IsWow64Process"},
    {"kernel32", "Wow64DisableWow64FsRedirection"},
    {"kernel32.dll", "GetVersion"},
    {"kernel32", "Wow64RevertWow64FsRedirection"},
    {"user32", "GetWindowLongA"},
    {"user32", "SetWindowLongA"},
    {"", "SetLayeredWindowAttributes"},
    {"kernel32", "SetDllDirectoryA"},
    // Libraries the system does not load from its own folder by name alone: a copy beside the
    // program would run as the elevated program. Reached here, from the system folder.
    {"winmm", "PlaySoundA"},
    {"comctl32", "InitCommonControls"},
};
static_assert(std::size(kTable) == kDeclarationCount, "one declaration per index");

}  // namespace

std::span<const Declaration> ProgramDeclarationTable() { return kTable; }

}  // namespace runtime
