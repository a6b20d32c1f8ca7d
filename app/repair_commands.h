// The repair command lists: the directory prefixes, the Windows and browser version tests,
// and the two variants of the list of command lines (a 32-bit Windows one and one for a
// 32-bit process on 64-bit Windows), over a small interface to the operating system.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/services/arguments.h"

namespace app {

using services::OwnedText;

// What the lists need from the operating system. The Win32 implementation calls the declared
// functions and the runtime commands; tests hand in a recording fake.
class RepairSystem {
 public:
  virtual ~RepairSystem() = default;
  // GetVersion's 32-bit result.
  virtual uint32_t WindowsVersion() = 0;
  // False when the system cannot say whether a process runs under WOW64 (IsWow64Process is
  // missing before XP SP2; such a system has no WOW64).
  virtual bool CanQueryWow64() = 0;
  // The flag IsWow64Process writes for this process (0: not under WOW64).
  virtual int32_t QueryWow64() = 0;
  // WOW64 file-system redirection of the calling thread.
  virtual bool DisableRedirection(void** previous) = 0;
  virtual bool RevertRedirection(void* previous) = 0;
  // The Windows folder with a trailing backslash.
  virtual OwnedText WindowsFolder() = 0;
  // A folder value of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion
  // ("ProgramFilesDir", "ProgramFilesDir (x86)"), in this process's view of the registry;
  // nothing when it is missing. Not the environment, which any user can set for the elevated
  // program and so name the folder whose DLLs regsvr32 runs.
  virtual OwnedText MachineFolder(const char* valueName) = 0;
  // The "Version" value of Internet Explorer's registry key.
  virtual OwnedText BrowserVersionText() = 0;
  // The executable's folder, without trailing backslash.
  virtual OwnedText RunDirectory() = 0;
  // Starts a command line hidden, without waiting for it; false when it could not start.
  virtual bool Run(const char* commandLine) = 0;
  // A pause before a line that could not start is tried again (a loaded system may refuse a
  // new process for a moment).
  virtual void PauseBeforeRetry() {}
  // A line that could not start after every try: said where a technician can read it.
  virtual void ReportNotStarted(const char* /*commandLine*/) {}
};

// The directory prefixes, each ending in a backslash.
struct SystemPaths {
  OwnedText windowsDir;
  OwnedText system32Dir;
  OwnedText sysWow64Dir;
  OwnedText programFilesDir;
  OwnedText programFilesX86Dir;
};

class RepairCommands {
 public:
  explicit RepairCommands(RepairSystem& system) : system_(system) {}

  // Computes the directory prefixes on the window's thread, once for the process: a later call
  // (a restore rebuilds the look) keeps them, as the worker may be building lines from them.
  void ResolveSystemPaths();
  // The program's end. Frees the prefixes at once when no list runs; while one runs, asks it to
  // stop at its next line, and the worker frees them when it leaves the list.
  void ReleaseSystemPaths();
  const SystemPaths& paths() const { return paths_; }
  // Asks a running list to stop before its next line (the worker cannot be ended from outside
  // without risking the locks it holds).
  void RequestStop() { stop_.store(true, std::memory_order_release); }

  // major + minor / 10 of the running Windows (5.1 XP, 6.1 Windows 7).
  double GetWindowsVersionNumber();
  bool IsRunningUnderWow64();
  // "6" for 6.0.2900.5512, "11" for 9.11.9600.16428; empty when the version is missing.
  OwnedText GetBrowserMajorVersion();

  // Issues the list that fits the system; under WOW64 with the calling thread's file-system
  // redirection switched off around the list, and nothing when it cannot be switched off.
  // Nothing after the prefixes were released; the lines left out once a stop is asked for.
  void RunRepairCommands();
  void RunRepairList32();
  void RunRepairList64();

 private:
  // Who may free the prefixes: the window's thread while no list runs, else the worker.
  enum PathsUse : int { kIdle, kListRunning, kReleaseWanted, kReleased };

  void RunListForSystem();
  bool IsNt6();
  bool IsIe7();
  void IssueList(bool wow64);
  // Runs head + rest; the head (the program's path) in double quotes when it holds a space,
  // so that "C:\Program Files\..." cannot start "C:\Program.exe".
  void Issue(const char* folder, const char* program, std::initializer_list<const char*> rest);

  RepairSystem& system_;
  SystemPaths paths_;
  bool resolved_ = false;  // window thread only
  std::atomic<int> pathsUse_{kIdle};
  std::atomic<bool> stop_{false};
};

}  // namespace app
