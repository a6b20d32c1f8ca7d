// What the runtime commands need from the operating system: files, processes, threads, the
// registry, special folders, message boxes and the clock. The Win32 implementation lives in
// system_win.cpp and is installed at start-up; native tests install recording fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/datetime.h"

namespace services {

// An application routine that a thread runs; it takes no argument (ThreadParameter() gives the
// parameter the thread was started with).
using Subroutine = void (*)();

// Where a special folder comes from.
enum class FolderSource { kShell, kWindows, kSystem, kTemp };

class ServiceSystem {
 public:
  virtual ~ServiceSystem() = default;

  virtual runtime::DateTimeParts LocalTime() = 0;
  // The executable's folder without trailing backslash.
  virtual std::string ProgramDirectory() = 0;
  // True when a file or folder matches the path (wildcards allowed).
  virtual bool FileExists(const char* path) = 0;
  // The file's size in bytes; nothing when there is no such file.
  virtual std::optional<uint64_t> FileSize(const char* path) = 0;
  // The whole file; nothing when it cannot be read.
  virtual std::optional<std::vector<uint8_t>> ReadFile(const char* path) = 0;
  // The variable's value; nothing when it is not set.
  virtual std::optional<std::string> Environment(const char* name) = 0;
  // Starts a command line with the show-window value; waits for it to end when wait is set,
  // else at most 1000 ms for it to become idle. No handle stays open. False when it cannot start.
  virtual bool StartProcess(const char* commandLine, int showWindow, bool wait) = 0;
  // A message box; returns the pressed button's identifier (IDOK 1 … IDNO 7), 0 on failure.
  virtual int ShowMessage(uintptr_t owner, const char* text, const char* title, uint32_t style) = 0;
  // The bytes of a value under HKEY_LOCAL_MACHINE read into a buffer of bufferSize bytes;
  // nothing when the key or the value is missing or does not fit.
  virtual std::optional<std::string> MachineRegistryValue(const char* key, const char* value,
                                                          size_t bufferSize) = 0;
  // A folder path as the system gives it (shell folders by their CSIDL); "" on failure.
  virtual std::string SpecialFolder(FolderSource source, int csidl) = 0;
  // Starts a thread running the routine. With keepHandle the thread's handle is stored in
  // *handle, otherwise it is closed at once. False when no thread was created.
  virtual bool StartThread(Subroutine routine, intptr_t parameter, bool keepHandle, intptr_t* handle) = 0;
  // Ends a thread at once (exit code -1); the result of that call.
  virtual bool EndThread(intptr_t handle) = 0;
};

ServiceSystem& CurrentServiceSystem();
// Installs a system (nullptr: none); returns the previous one.
ServiceSystem* InstallServiceSystem(ServiceSystem* system);

// The window handle of a window or component, supplied by the form runtime once it has
// windows; until then a reference names no window (0).
using UnitHandleLookup = uintptr_t (*)(uint32_t windowId, uint32_t unitId);
void SetUnitHandleLookup(UnitHandleLookup lookup);
uintptr_t UnitHandle(uint32_t windowId, uint32_t unitId);

// The parameter of the thread that calls it, as given to StartThread (0 on other threads).
intptr_t ThreadParameter();
// For system implementations: records the parameter of the calling thread.
void SetThreadParameter(intptr_t parameter);

}  // namespace services
