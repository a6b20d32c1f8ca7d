// Resolution of declared functions.
#include "runtime/core/declared_functions.h"

#include <cassert>

#include "runtime/core/errors.h"

namespace runtime {

bool ParseOrdinal(const char* name, uint16_t* ordinal) {
  if (!name || name[0] != '#' || name[1] == '\0') return false;
  uint32_t value = 0;
  for (const char* p = name + 1; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = (value * 10 + static_cast<uint32_t>(*p - '0')) % 65536;
  }
  *ordinal = static_cast<uint16_t>(value);
  return true;
}

DeclaredFunctions::DeclaredFunctions(std::span<const Declaration> table, LibraryLoader& loader)
    : table_(table), loader_(loader), entries_(std::make_unique<Entry[]>(table.size())) {}

DeclaredFunctions::~DeclaredFunctions() = default;

void* DeclaredFunctions::Resolve(size_t index) { return Lookup(index, true); }
void* DeclaredFunctions::TryResolve(size_t index) { return Lookup(index, false); }

void* DeclaredFunctions::FindExport(LibraryLoader::Library library, const char* name) {
  uint16_t ordinal;
  if (ParseOrdinal(name, &ordinal)) return loader_.FindOrdinal(library, ordinal);
  return loader_.Find(library, name);
}

LibraryLoader::Library DeclaredFunctions::LoadNamed(const std::string& file) {
  if (file.find(':') != std::string::npos) return loader_.Load(file);
  if (!dllDirectory_.empty()) {
    if (auto library = loader_.Load(dllDirectory_ + "\\" + file)) return library;
  }
  // A file planted beside the program (in a download folder, say) must not stand in for a
  // system library: a library the system folder has is loaded from there by its full path, as
  // the system's own search would look in the program folder first.
  const std::string systemPath = loader_.SystemLibraryPath(file);
  if (!programDirectory_.empty() && systemPath.empty()) {
    if (auto library = loader_.Load(programDirectory_ + "\\" + file)) return library;
  }
  if (!secondDirectory_.empty()) {
    if (auto library = loader_.Load(secondDirectory_ + "\\" + file)) return library;
  }
  return loader_.Load(systemPath.empty() ? file : systemPath);
}

void* DeclaredFunctions::Lookup(size_t index, bool reportFailure) {
  assert(index < table_.size() && table_[index].name);
  const Declaration& declaration = table_[index];
  if (explicitLibrary_) {
    LibraryLoader::Library library = explicitLibrary_;
    explicitLibrary_ = nullptr;
    if (void* address = FindExport(library, declaration.name)) return address;
    if (reportFailure) {
      RuntimeErrorMessage(std::string("无法找到指定DLL库文件中的输出命令“") + declaration.name + "”");
    }
    return nullptr;
  }

  Entry& entry = entries_[index];
  if (void* cached = entry.address.load(std::memory_order_acquire)) return cached;

  LibraryLoader::Library library = nullptr;
  void* address = nullptr;
  const std::string file = declaration.library ? declaration.library : "";
  if (file.empty()) {
    for (const char* standard : kStandardLibraries) {
      library = loader_.Load(standard);
      if (!library) continue;
      address = FindExport(library, declaration.name);
      if (address) break;
      loader_.Release(library);
      library = nullptr;
    }
  } else {
    library = LoadNamed(file);
    if (library) address = FindExport(library, declaration.name);
  }

  if (!address) {
    if (library) loader_.Release(library);
    if (!reportFailure) return nullptr;
    if (file.empty()) {
      RuntimeErrorMessage(std::string("无法找到指定DLL库文件中的输出命令“") + declaration.name + "”");
    }
    RuntimeErrorMessage("无法找到指定DLL库文件“" + file + "”中的输出命令“" + declaration.name + "”");
  }

  // Two threads may resolve the same declaration at once; the loser gives its library back.
  LibraryLoader::Library expected = nullptr;
  // The address is the same either way: the search finds the same library.
  if (!entry.library.compare_exchange_strong(expected, library)) {
    loader_.Release(library);
    return address;
  }
  entry.address.store(address, std::memory_order_release);
  return address;
}

void DeclaredFunctions::ReleaseAll() {
  for (size_t i = 0; i < table_.size(); ++i) {
    entries_[i].address = nullptr;
    if (LibraryLoader::Library library = entries_[i].library.exchange(nullptr)) loader_.Release(library);
  }
}

namespace {
std::atomic<DeclaredFunctions*> gProgramDeclarations{nullptr};
}

DeclaredFunctions& ProgramDeclarations() {
  DeclaredFunctions* declarations = gProgramDeclarations.load();
  assert(declarations && "the runtime installs the program's declarations at start-up");
  return *declarations;
}

bool ProgramDeclarationsInstalled() { return gProgramDeclarations.load() != nullptr; }

void InstallProgramDeclarations(DeclaredFunctions* declarations) { gProgramDeclarations = declarations; }

}  // namespace runtime
