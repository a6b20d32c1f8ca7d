// Win32 library loading for declared functions, and the 32-bit checked-call thunk.
#include "runtime/core/declared_functions_win.h"

namespace runtime {
namespace {

// The program's manifest resource naming the system assemblies its libraries may come from
// (GDI+). Not resource 1, which the system applies when the program starts: a system without
// the assembly still starts the program, and only a load under this context looks there.
constexpr WORD kLibraryAssembliesManifest = 2;
constexpr ULONG kDllRedirectionSection = 2;  // ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION

bool IsBareName(const std::string& file) { return file.find_first_of("\\/:") == std::string::npos; }

// GDI+ on Windows XP lives only in the system's side-by-side store, which the loader consults
// for a library name while an activation context naming the assembly is active; otherwise a
// name is looked for beside the program first, where anyone may have put a file. Windows 2000
// has no activation contexts: its functions are looked up, never imported.
class SideBySideStore {
 public:
  static const SideBySideStore& Instance() {
    static const SideBySideStore store;
    return store;
  }

  // True when the store holds the library of this name for the program.
  bool Holds(const std::string& name) const {
    ULONG_PTR cookie = 0;
    if (!Activate(&cookie)) return false;
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    const bool found = find_(0, nullptr, kDllRedirectionSection, name.c_str(), &data) != FALSE;
    deactivate_(0, cookie);
    return found;
  }

  // The library of that name from the store, or null.
  HMODULE Load(const std::string& name) const {
    ULONG_PTR cookie = 0;
    if (!Activate(&cookie)) return nullptr;
    HMODULE module = LoadLibraryA(name.c_str());
    deactivate_(0, cookie);
    return module;
  }

 private:
  SideBySideStore() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto create = reinterpret_cast<decltype(&CreateActCtxA)>(Export(kernel, "CreateActCtxA"));
    activate_ = reinterpret_cast<decltype(&ActivateActCtx)>(Export(kernel, "ActivateActCtx"));
    deactivate_ = reinterpret_cast<decltype(&DeactivateActCtx)>(Export(kernel, "DeactivateActCtx"));
    find_ = reinterpret_cast<decltype(&FindActCtxSectionStringA)>(Export(kernel, "FindActCtxSectionStringA"));
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (!create || !activate_ || !deactivate_ || !find_ || length == 0 || length >= MAX_PATH) return;
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program;
    request.lpResourceName = MAKEINTRESOURCEA(kLibraryAssembliesManifest);
    context_ = create(&request);
  }

  static void* Export(HMODULE module, const char* name) {
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
  }

  bool Activate(ULONG_PTR* cookie) const {
    return context_ != INVALID_HANDLE_VALUE && activate_(context_, cookie) != FALSE;
  }

  // Kept for the life of the process: the libraries loaded under it stay loaded.
  HANDLE context_ = INVALID_HANDLE_VALUE;
  decltype(&ActivateActCtx) activate_ = nullptr;
  decltype(&DeactivateActCtx) deactivate_ = nullptr;
  decltype(&FindActCtxSectionStringA) find_ = nullptr;
};

// A library of the system folder by its full path, or empty when the folder has none.
std::string InSystemFolder(const std::string& fileName) {
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

HMODULE LoadFile(const std::string& path) {
  // No "cannot find library" dialog box for a missing file: the caller reports it.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  SetErrorMode(previous);
  return module;
}

}  // namespace

LibraryLoader::Library Win32LibraryLoader::Load(const std::string& fileOrPath) {
  // A bare name is a system library, from the side-by-side store or the system folder; it is
  // never looked for in the program's folder, the current folder or the PATH.
  if (IsBareName(fileOrPath)) {
    const SideBySideStore& store = SideBySideStore::Instance();
    if (store.Holds(fileOrPath)) return store.Load(fileOrPath);
    const std::string path = InSystemFolder(fileOrPath);
    return path.empty() ? nullptr : LoadFile(path);
  }
  return LoadFile(fileOrPath);
}

void* Win32LibraryLoader::Find(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void* Win32LibraryLoader::FindOrdinal(Library library, uint16_t ordinal) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

void Win32LibraryLoader::Release(Library library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string Win32LibraryLoader::SystemLibraryPath(const std::string& fileName) {
  if (!IsBareName(fileName)) return "";  // a path, not a name
  // The system's own copy in the side-by-side store comes first, as the system itself gives it
  // to programs that name the assembly; it is loaded by its name under the program's context.
  if (SideBySideStore::Instance().Holds(fileName)) return fileName;
  return InSystemFolder(fileName);
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
