// Declared functions against the real loader: by name, by ordinal, through the six standard
// libraries, the checked call, and the planted-library protection.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/core/declared_functions_win.h"
#include "runtime/core/process_win.h"
#include "runtime/core/program_declarations.h"
#include "support/child_process_win.h"
#include "support/recording_platform.h"

using namespace runtime;
using namespace testing_support;

namespace {

void* Export(const char* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name));
}

TEST(DeclaredWin, ByNameByOrdinalAndFromTheStandardLibraries) {
  Win32LibraryLoader loader;
  const Declaration table[] = {
      {"kernel32.dll", "GetVersion"},
      {"shell32.dll", "#16"},
      {"", "MessageBoxA"},
      {"", "GetCurrentProcess"},
  };
  DeclaredFunctions declared(table, loader);
  EXPECT_EQ(declared.Resolve(0), Export("kernel32", "GetVersion"));

  HMODULE shell = LoadLibraryA("shell32.dll");
  void* ordinal16 = reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(16)));
  ASSERT_NE(ordinal16, nullptr);
  EXPECT_EQ(declared.Resolve(1), ordinal16);

  LoadLibraryA("user32.dll");
  EXPECT_EQ(declared.Resolve(2), Export("user32", "MessageBoxA"));
  EXPECT_EQ(declared.Resolve(3), Export("kernel32", "GetCurrentProcess"));
  declared.ReleaseAll();
  FreeLibrary(shell);
}

TEST(DeclaredWin, AMissingExportGivesTheExactMessage) {
  RecordingPlatform platform;
  Win32LibraryLoader loader;
  const Declaration table[] = {{"kernel32", "NoSuchExport"}, {"", "NoSuchExport"}, {"nosuchlib.dll", "F"}};
  DeclaredFunctions declared(table, loader);
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(0); }), -1);
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(1); }), -1);
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(2); }), -1);
  ASSERT_EQ(platform.boxes.size(), 3u);
  EXPECT_EQ(platform.boxes[0].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“kernel32”中的输出命令“NoSuchExport”\r\n");
  EXPECT_EQ(platform.boxes[1].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchExport”\r\n");
  EXPECT_EQ(platform.boxes[2].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“nosuchlib.dll”中的输出命令“F”\r\n");
}

TEST(DeclaredWin, TheProgramTableCallsThrough) {
  Win32LibraryLoader loader;
  DeclaredFunctions declared(ProgramDeclarationTable(), loader);
  InstallProgramDeclarations(&declared);
  EXPECT_EQ(kGetVersion(), GetVersion());
  EXPECT_EQ(kGetCurrentProcess(), GetCurrentProcess());
  // Under WOW64 exactly when a 32-bit build runs on a 64-bit system.
  SYSTEM_INFO native = {};
  using NativeInfo = void(WINAPI*)(SYSTEM_INFO*);
  reinterpret_cast<NativeInfo>(Export("kernel32", "GetNativeSystemInfo"))(&native);
  const bool expectWow64 =
      sizeof(void*) == 4 && native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  BOOL wow64 = !expectWow64;
  ASSERT_TRUE(kIsWow64Process.Available());
  EXPECT_TRUE(kIsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_EQ(wow64 != FALSE, expectWow64);
  HWND window = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(kSendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 1);
  EXPECT_EQ(kGetWindowLongA(window, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
  DestroyWindow(window);
  InstallProgramDeclarations(nullptr);
  declared.ReleaseAll();
}

// In a copy of the test program beside a planted "msimg32.dll", a declaration of the system's
// msimg32.dll must still reach the system's. (A library that the system's own libraries import
// at start-up, such as version.dll under Wine, is loaded before the program runs; no search
// order of the program's can protect that one.)
std::string ModulePathOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<const char*>(address), &module);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return path;
}

bool InSystemFolder(const std::string& path) {
  char system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  return _strnicmp(path.c_str(), system, length) == 0;
}

// The control: the system's own search takes the planted file from the program's folder.
NETMEND_CHILD(plain_load_planted) {
  HMODULE module = LoadLibraryA("msimg32.dll");
  void* address = reinterpret_cast<void*>(GetProcAddress(module, "GradientFill"));
  return address && !InSystemFolder(ModulePathOf(address)) ? 0 : 1;
}

NETMEND_CHILD(resolve_planted) {
  InitializeProcess(nullptr, 0);
  const Declaration table[] = {{"msimg32.dll", "GradientFill"}};
  Win32LibraryLoader loader;
  DeclaredFunctions declared(table, loader);
  declared.SetProgramDirectory(LocateProgram().directory);
  return InSystemFolder(ModulePathOf(declared.Resolve(0))) ? 0 : 1;
}

TEST(DeclaredWin, ALibraryPlantedBesideTheProgramDoesNotReplaceTheSystemOne) {
  TemporaryFolder folder;
  const std::string program = folder.File("declared_copy.exe");
  ASSERT_TRUE(CopyFileA(ThisProgram().c_str(), program.c_str(), FALSE));
  const std::string here = ThisProgram().substr(0, ThisProgram().find_last_of('\\'));
  ASSERT_TRUE(CopyFileA((here + "\\planted_library.dll").c_str(), folder.File("msimg32.dll").c_str(), FALSE));

  // Under Wine a file named like one of its own libraries is replaced by the built-in one unless
  // the program prefers native files, as Windows always does. (Ignored on Windows.)
  const char* overrides = "Software\\Wine\\AppDefaults\\declared_copy.exe\\DllOverrides";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, overrides, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "msimg32", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
  RegCloseKey(key);
  ChildProcess control("plain_load_planted", program, folder.path());
  ASSERT_TRUE(control.started());
  ASSERT_EQ(control.Wait(20000), 0u) << "the plant must be what a plain search finds";

  ChildProcess child("resolve_planted", program, folder.path());
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.Wait(20000), 0u);
  RegDeleteKeyA(HKEY_CURRENT_USER, overrides);
}

}  // namespace
