// Runtime errors on Windows: the real box, read back from another process, and the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/core.h"
#include "runtime/errors.h"
#include "runtime/process_win.h"
#include "support/child_process_win.h"

using namespace testing_support;

namespace {

std::string gMarker;

void WriteMarker() {
  HANDLE file = CreateFileA(gMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
}

// Children get a marker path through the environment: an exit routine that ran leaves it.
void PrepareChild() {
  runtime::InitializeProcess(nullptr, 0);
  char path[MAX_PATH] = {};
  GetEnvironmentVariableA("NETMEND_TEST_MARKER", path, MAX_PATH);
  gMarker = path;
  runtime::RegisterExitRoutine(WriteMarker);
}

NETMEND_CHILD(raise_code_6) {
  PrepareChild();
  runtime::RuntimeError(6);
}

NETMEND_CHILD(raise_message) {
  PrepareChild();
  runtime::RuntimeErrorMessage("载入窗口模板数据段出错!");
}

NETMEND_CHILD(end_normally) {
  PrepareChild();
  runtime::EndProgram(0);
}

struct Outcome {
  std::string text;
  bool ownerless = false;
  DWORD exitCode = 0;
  bool exitRoutineRan = false;
};

Outcome RunChild(const char* name, bool expectBox) {
  TemporaryFolder folder;
  const std::string marker = folder.File("exit-routine-ran");
  SetEnvironmentVariableA("NETMEND_TEST_MARKER", marker.c_str());
  ChildProcess child(name);
  EXPECT_TRUE(child.started());
  Outcome outcome;
  if (expectBox) {
    HWND box = WaitForDialog(child.id(), "错误", 20000);
    EXPECT_NE(box, nullptr) << "no box titled 错误 appeared";
    if (box) {
      outcome.text = MessageBoxText(box);
      outcome.ownerless = GetWindow(box, GW_OWNER) == nullptr;
      EXPECT_EQ(child.Wait(300), STILL_ACTIVE) << "the process waits for the box to be closed";
      PressButton(box, IDOK);
    }
  }
  outcome.exitCode = child.Wait(20000);
  outcome.exitRoutineRan = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
  return outcome;
}

TEST(RuntimeErrorBox, Code6IsShownReadBackAndEndsWithMinusOne) {
  const Outcome outcome = RunChild("raise_code_6", true);
  // A message box shows its text with "\r\n" line ends turned into line breaks; the static
  // control keeps the text as given.
  EXPECT_EQ(outcome.text, "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  EXPECT_TRUE(outcome.ownerless);
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
  EXPECT_FALSE(outcome.exitRoutineRan);
}

TEST(RuntimeErrorBox, AMessageAloneHasNoCodeLine) {
  const Outcome outcome = RunChild("raise_message", true);
  EXPECT_EQ(outcome.text, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
  EXPECT_FALSE(outcome.exitRoutineRan);
}

TEST(EndProgram, RunsTheExitRoutinesAndEndsWithTheCode) {
  const Outcome outcome = RunChild("end_normally", false);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_TRUE(outcome.exitRoutineRan);
}

}  // namespace
