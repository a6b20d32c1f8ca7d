// The program's declared system functions. Each is resolved by library file name and exported
// name on first use (runtime/declared.h); the skin layer's GDI+ and window functions join this
// table as the skin layer grows.
#pragma once

#include <cstddef>
#include <span>

#include "runtime/core/declared_functions.h"

namespace runtime {

enum DeclaredIndex : size_t {
  kDeclSendMessageA,
  kDeclGetCurrentProcess,
  kDeclIsWow64Process,                  // XP SP2 and later
  kDeclWow64DisableWow64FsRedirection,  // 64-bit Windows
  kDeclGetVersion,
  kDeclWow64RevertWow64FsRedirection,  // 64-bit Windows
  kDeclGetWindowLongA,
  kDeclSetWindowLongA,
  kDeclSetLayeredWindowAttributes,  // Windows 2000 and later
  kDeclSetDllDirectoryA,            // XP SP1 and later
  kDeclPlaySoundA,                  // winmm: not a known DLL, so never imported
  kDeclInitCommonControls,          // comctl32: likewise
  kDeclarationCount
};

std::span<const Declaration> ProgramDeclarationTable();

}  // namespace runtime
