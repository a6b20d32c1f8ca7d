// Win32 library loading for declared functions, and the 32-bit checked-call thunk.
#include "runtime/core/declared_functions_win.h"

namespace runtime {

LibraryLoader::Library Win32LibraryLoader::Load(const std::string& fileOrPath) {
  // No "cannot find library" dialog box for a missing file: the caller reports it.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(fileOrPath.c_str());
  SetErrorMode(previous);
  return module;
}

void* Win32LibraryLoader::Find(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void* Win32LibraryLoader::FindOrdinal(Library library, uint16_t ordinal) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

void Win32LibraryLoader::Release(Library library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string Win32LibraryLoader::SystemLibraryPath(const std::string& fileName) {
  if (fileName.find_first_of("\\/") != std::string::npos) return "";  // a relative path, not a name
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  std::string path = std::string(folder, length) + "\\" + fileName;
  // LoadLibrary adds ".dll" to a name without an extension (a trailing "." means none).
  if (fileName.find('.') == std::string::npos) path += ".dll";
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
  return path;
}

}  // namespace runtime

#if defined(__i386__)
// uint64_t NetmendCallWords(void* function, const uint32_t* words, uint32_t count,
//                           uint32_t* stackBroken)   (cdecl)
// EDI keeps the stack position from before the arguments; it is callee-saved in both calling
// conventions, so after the call it can be compared with ESP and used to restore it.
asm(R"(
    .text
    .globl _NetmendCallWords
    .def _NetmendCallWords; .scl 2; .type 32; .endef
_NetmendCallWords:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %edi
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  call  *8(%ebp)
    xorl  %ecx, %ecx
    cmpl  %esp, %edi
    setne %cl
    movl  20(%ebp), %ebx
    movl  %ecx, (%ebx)
    movl  %edi, %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");
#endif
