// Windows tests that must watch a process end (runtime errors, the program's exit): the test
// executable starts itself with "--child=<name>" and the named routine runs instead of the
// tests. The parent finds the child's message boxes, reads them back and presses their buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

using ChildRoutine = int (*)();

// Registers a routine that a child process runs; returns true (for static registration).
bool RegisterChild(const char* name, ChildRoutine routine);

#define NETMEND_CHILD(name)                                                                    \
  static int name##_child();                                                                   \
  static const bool name##_registered = ::testing_support::RegisterChild(#name, name##_child); \
  static int name##_child()

// Runs the child routine named by a "--child=<name>" argument; false when there is none.
bool RunChildFromArguments(int argc, char** argv, int* exitCode);

class ChildProcess {
 public:
  // Starts this executable (or another program when given) with "--child=<name>".
  explicit ChildProcess(const std::string& name, const std::string& program = "",
                        const std::string& currentDirectory = "");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // The exit code, or STILL_ACTIVE when it has not ended within the time.
  DWORD Wait(DWORD milliseconds);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// The process's exit code, or STILL_ACTIVE when it has not ended within the time.
DWORD WaitForExit(HANDLE process, DWORD milliseconds);

// A time limit for waiting on another process, stretched in the emulated guest (its software
// CPU runs Wine many times slower; NETMEND_GUEST is set there). Limits, and the pace of a
// sequence sampled from the screen: nothing is expected to take longer.
DWORD TimeLimit(DWORD milliseconds);

// How many rounds a soak loop runs: a tenth in the emulated guest, where a round of drawing
// takes a hundred times as long or more. The bounds it is held to stay as they are.
int Rounds(int rounds);

// The path of this executable.
std::string ThisProgram();

// A top-level dialog-class window of the process whose title is the given one, waiting for it
// up to the time; nullptr when none appeared.
HWND WaitForDialog(DWORD processId, const std::string& title, DWORD milliseconds);
// The texts of a message box's static controls, in order (the message is the non-empty one).
std::string MessageBoxText(HWND box);
// Clicks the button with the control id (IDOK for an OK box).
void PressButton(HWND box, int id);

// What a child routine did, seen from outside: the "错误" box it showed (closed with OK),
// its exit code, and the marker file it may write. The child finds the marker's path in the
// environment variable NETMEND_TEST_MARKER.
struct ChildOutcome {
  std::string boxText;
  bool boxOwnerless = false;
  bool waitedForBox = false;  // still running while its box was open
  DWORD exitCode = 0;
  bool markerWritten = false;
  std::string marker;  // the marker file's contents
};
// Runs the child routine; when expectBox, waits for its error box, reads it back and presses
// OK (a missing box fails the calling test).
ChildOutcome RunChild(const std::string& name, bool expectBox);

// A fresh empty folder under the temporary folder, removed with its files when destroyed.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

}  // namespace testing_support
