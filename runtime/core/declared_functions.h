// Declared functions of system libraries ("DLL commands"): a table of (library file, exported
// name) resolved on first use, the address and library cached. Library loading goes through
// a seam so that the search order is tested natively; the Win32 loader and the checked call
// live in declared_win.h.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace runtime {

struct Declaration {
  const char* library;  // file name, a path with ":", or "" to try the six standard libraries
  const char* name;     // exported name, or "#n" for export ordinal n (modulo 65536)
};

class LibraryLoader {
 public:
  using Library = void*;
  virtual ~LibraryLoader() = default;
  virtual Library Load(const std::string& fileOrPath) = 0;  // nullptr when it cannot be loaded
  virtual void* Find(Library library, const char* name) = 0;
  virtual void* FindOrdinal(Library library, uint16_t ordinal) = 0;
  virtual void Release(Library library) = 0;
  // The full path of a library of this file name in the system folder, or "" when the system
  // folder has none.
  virtual std::string SystemLibraryPath(const std::string& fileName) = 0;
};

// The libraries tried, in order, for a declaration with an empty library name.
inline constexpr const char* kStandardLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                                     "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

class DeclaredFunctions {
 public:
  DeclaredFunctions(std::span<const Declaration> table, LibraryLoader& loader);
  ~DeclaredFunctions();
  DeclaredFunctions(const DeclaredFunctions&) = delete;
  DeclaredFunctions& operator=(const DeclaredFunctions&) = delete;

  // Where relative library names are looked for (no trailing backslash; empty: not used).
  void SetProgramDirectory(std::string directory) { programDirectory_ = std::move(directory); }
  void SetDllDirectory(std::string directory) { dllDirectory_ = std::move(directory); }
  void SetSecondDirectory(std::string directory) { secondDirectory_ = std::move(directory); }
  // The next resolution looks only in this library, and then forgets it.
  void SetExplicitLibrary(LibraryLoader::Library library) { explicitLibrary_ = library; }

  // The address of declaration i. When it cannot be found: the runtime error
  // "无法找到指定DLL库文件“lib”中的输出命令“name”" (or the form without a library name).
  void* Resolve(size_t index);
  // The same, but nullptr instead of the error (for functions that older systems lack).
  void* TryResolve(size_t index);
  // Releases every library loaded for a declaration; addresses are looked up again on next use.
  void ReleaseAll();

  size_t size() const { return table_.size(); }
  const Declaration& declaration(size_t index) const { return table_[index]; }

 private:
  struct Entry {
    std::atomic<void*> address{nullptr};
    std::atomic<LibraryLoader::Library> library{nullptr};
  };
  void* Lookup(size_t index, bool reportFailure);
  void* FindExport(LibraryLoader::Library library, const char* name);
  LibraryLoader::Library LoadNamed(const std::string& file);

  std::span<const Declaration> table_;
  LibraryLoader& loader_;
  std::unique_ptr<Entry[]> entries_;
  std::string programDirectory_, dllDirectory_, secondDirectory_;
  LibraryLoader::Library explicitLibrary_ = nullptr;
};

// An exported name of the form "#digits" as an ordinal (modulo 65536); false for other names.
bool ParseOrdinal(const char* name, uint16_t* ordinal);

// The program's declaration table, resolved through the loader installed at start-up.
DeclaredFunctions& ProgramDeclarations();
bool ProgramDeclarationsInstalled();
void InstallProgramDeclarations(DeclaredFunctions* declarations);

}  // namespace runtime
