// Runtime errors on Windows: the real box, read back from another process, and the exit code.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/core/errors.h"
#include "runtime/core/process_win.h"
#include "runtime/core/program_lifetime.h"
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

TEST(RuntimeErrorBox, Code6IsShownReadBackAndEndsWithMinusOne) {
  const ChildOutcome outcome = RunChild("raise_code_6", true);
  // A message box shows its text with "\r\n" line ends turned into line breaks; the static
  // control keeps the text as given.
  EXPECT_EQ(outcome.boxText, "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  EXPECT_TRUE(outcome.boxOwnerless);
  EXPECT_TRUE(outcome.waitedForBox) << "the process waits for the box to be closed";
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
  EXPECT_FALSE(outcome.markerWritten);
}

TEST(RuntimeErrorBox, AMessageAloneHasNoCodeLine) {
  const ChildOutcome outcome = RunChild("raise_message", true);
  EXPECT_EQ(outcome.boxText, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
  EXPECT_FALSE(outcome.markerWritten);
}

TEST(EndProgram, RunsTheExitRoutinesAndEndsWithTheCode) {
  const ChildOutcome outcome = RunChild("end_normally", false);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_TRUE(outcome.markerWritten);
}

}  // namespace
