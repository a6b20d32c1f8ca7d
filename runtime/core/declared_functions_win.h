// Win32 side of declared functions: the library loader and the checked call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "runtime/core/declared_functions.h"
#include "runtime/core/errors.h"
#include "runtime/core/program_declarations.h"

namespace runtime {

class Win32LibraryLoader final : public LibraryLoader {
 public:
  Library Load(const std::string& fileOrPath) override;
  void* Find(Library library, const char* name) override;
  void* FindOrdinal(Library library, uint16_t ordinal) override;
  void Release(Library library) override;
  std::string SystemLibraryPath(const std::string& fileName) override;
};

#if defined(__i386__)
// Pushes count 32-bit words (the first word last, so that it lies on top), calls the function
// and reports in *stackBroken whether the stack pointer came back where it was. Returns EDX:EAX.
extern "C" uint64_t NetmendCallWords(void* function, const uint32_t* words, uint32_t count,
                                     uint32_t* stackBroken);
#endif

// Calls a resolved declared function as R(A...). On 32-bit Windows a function declared with
// the wrong calling convention or argument list leaves the stack unbalanced: runtime error 6.
// x86_64 has one calling convention and nothing to check.
template <typename R, typename... A>
R CallDeclaredAddress(void* address, A... args) {
  static_assert(!std::is_floating_point_v<R>, "declared functions return integers or pointers");
#if defined(__i386__)
  static_assert((std::is_trivially_copyable_v<A> && ...), "arguments are plain values");
  constexpr uint32_t kWords = (0u + ... + static_cast<uint32_t>((sizeof(A) + 3) / 4));
  uint32_t words[kWords ? kWords : 1] = {};
  uint32_t at = 0;
  ((std::memcpy(words + at, &args, sizeof(A)), at += (sizeof(A) + 3) / 4), ...);
  uint32_t stackBroken = 0;
  const uint64_t result = NetmendCallWords(address, words, kWords, &stackBroken);
  if (stackBroken) RuntimeError(kErrorStackImbalance);
  if constexpr (!std::is_void_v<R>) {
    R value;
    std::memcpy(&value, &result, sizeof value);
    return value;
  }
#else
  return reinterpret_cast<R (*)(A...)>(address)(args...);
#endif
}

// A declared function of the program's table with its signature.
template <typename Signature>
struct Declared;

template <typename R, typename... A>
struct Declared<R(A...)> {
  size_t index;
  R operator()(A... args) const {
    return CallDeclaredAddress<R, A...>(ProgramDeclarations().Resolve(index), args...);
  }
  // False when the running system lacks the function.
  bool Available() const { return ProgramDeclarations().TryResolve(index) != nullptr; }
};

inline constexpr Declared<LRESULT(HWND, UINT, WPARAM, LPARAM)> kSendMessageA{kDeclSendMessageA};
inline constexpr Declared<HANDLE()> kGetCurrentProcess{kDeclGetCurrentProcess};
inline constexpr Declared<BOOL(HANDLE, BOOL*)> kIsWow64Process{kDeclIsWow64Process};
inline constexpr Declared<BOOL(void**)> kWow64DisableWow64FsRedirection{kDeclWow64DisableWow64FsRedirection};
inline constexpr Declared<DWORD()> kGetVersion{kDeclGetVersion};
inline constexpr Declared<BOOL(void*)> kWow64RevertWow64FsRedirection{kDeclWow64RevertWow64FsRedirection};
inline constexpr Declared<LONG(HWND, int)> kGetWindowLongA{kDeclGetWindowLongA};
inline constexpr Declared<LONG(HWND, int, LONG)> kSetWindowLongA{kDeclSetWindowLongA};
inline constexpr Declared<BOOL(HWND, COLORREF, BYTE, DWORD)> kSetLayeredWindowAttributes{
    kDeclSetLayeredWindowAttributes};
inline constexpr Declared<BOOL(const char*)> kSetDllDirectoryA{kDeclSetDllDirectoryA};
inline constexpr Declared<BOOL(const char*, HMODULE, DWORD)> kPlaySoundA{kDeclPlaySoundA};
inline constexpr Declared<void()> kInitCommonControls{kDeclInitCommonControls};

}  // namespace runtime
