// The real devcon.exe of this build, started as the repair starts it (no window) with its
// output read back: the usage and exit 3 for a wrong command line; rescan and enable exit as
// the system allows and say what they did. Wine's configuration manager cannot locate the
// root of the device tree, and Wine has no network adapters, only a display adapter on
// "PCI" and HID devices, all enabled. The x86 build under WOW64 refuses instead.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/win/stand_ins_win.h"
#include "support/child_process_win.h"

namespace {

using testing_support::TimeLimit;
using testing_support::UnderWow64;

struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  std::string output;  // standard output and error together
};

std::string Devcon() {
  const std::string self = testing_support::ThisProgram();
  return self.substr(0, self.find_last_of('\\') + 1) + "devcon.exe";
}

Outcome RunDevcon(const std::string& arguments) {
  Outcome outcome;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 64 * 1024)) return outcome;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = startup.hStdError = writeEnd;
  std::string commandLine = "\"" + Devcon() + "\" " + arguments;
  PROCESS_INFORMATION info{};
  const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &info);
  CloseHandle(writeEnd);
  if (started) {
    outcome.exitCode = testing_support::WaitForExit(info.hProcess, TimeLimit(30000));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // What it printed is in the pipe by now; nothing else writes to it once it has ended.
    DWORD waiting = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
      char chunk[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) || got == 0) break;
      outcome.output.append(chunk, got);
    }
  }
  CloseHandle(readEnd);
  return outcome;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

bool Says(const Outcome& outcome, const char* text) { return outcome.output.find(text) != std::string::npos; }

TEST(DevconProgram, AWrongCommandLineGetsTheUsageAndExit3) {
  if (UnderWow64()) GTEST_SKIP() << "the x86 build refuses under WOW64 (below)";
  for (const char* arguments :
       {"", "disable =Net PCI\\*", "enable =Net", "enable Net PCI\\*", "rescan now"}) {
    const Outcome outcome = RunDevcon(arguments);
    EXPECT_EQ(outcome.exitCode, 3u) << arguments;
    EXPECT_TRUE(Says(outcome, "devcon enable =CLASS PATTERN...")) << arguments << ": " << outcome.output;
  }
}

TEST(DevconProgram, RescanAndEnableSayWhatTheSystemAllowed) {
  if (UnderWow64()) GTEST_SKIP() << "the x86 build refuses under WOW64 (below)";
  const Outcome rescan = RunDevcon("rescan");
  const Outcome net = RunDevcon("enable =Net PCI\\* USB\\*");
  std::printf("rescan: exit %lu, %s", rescan.exitCode, rescan.output.c_str());
  std::printf("enable =Net PCI\\* USB\\*: exit %lu, %s", net.exitCode, net.output.c_str());
  if (!UnderWine()) {
    EXPECT_LE(rescan.exitCode, 2u);
    EXPECT_LE(net.exitCode, 2u);
    return;
  }
  EXPECT_EQ(rescan.exitCode, 2u) << "Wine's configuration manager does not find the root";
  EXPECT_TRUE(Says(rescan, "cannot find the root of the device tree")) << rescan.output;
  EXPECT_EQ(net.exitCode, 0u) << "no matching device is done";
  EXPECT_EQ(net.output, "0 devices enabled, 0 already enabled.\r\n");
  // Devices Wine has: found by class and ID, already enabled, left alone.
  const Outcome display = RunDevcon("enable =display pci\\*");
  EXPECT_EQ(display.exitCode, 0u);
  EXPECT_TRUE(Says(display, "0 devices enabled, 1 already enabled.")) << display.output;
  const Outcome wrongClass = RunDevcon("enable =Net *");
  EXPECT_EQ(wrongClass.output, "0 devices enabled, 0 already enabled.\r\n");
}

TEST(DevconProgram, TheX86BuildRefusesUnderWow64) {
  if (!UnderWow64()) GTEST_SKIP() << "only a 32-bit program on 64-bit Windows";
  for (const char* arguments : {"rescan", "enable =Net PCI\\*", ""}) {
    const Outcome outcome = RunDevcon(arguments);
    EXPECT_EQ(outcome.exitCode, 2u) << arguments;
    EXPECT_TRUE(Says(outcome, "this Windows is 64-bit")) << outcome.output;
    EXPECT_TRUE(Says(outcome, "x64 folder")) << outcome.output;
  }
}

}  // namespace
