// Win32 implementation of ServiceSystem: files, processes, threads, registry, special folders,
// message boxes and the local time.
#include "app/services/system_win.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "app/services/system.h"
#include "base/handles_win.h"
#include "runtime/core/process_win.h"

namespace services {
namespace {

using base::FindHandle;
using base::KernelHandle;
using base::RegistryKey;

struct ThreadStart {
  Subroutine routine;
  intptr_t parameter;
};

// The thread routine the system calls (stdcall on 32-bit Windows); it runs the application's
// routine, which takes no argument.
DWORD WINAPI ThreadEntry(LPVOID argument) {
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(argument));
  const Subroutine routine = start->routine;
  SetThreadParameter(start->parameter);
  start.reset();  // before the routine, which may be ended without returning
  routine();
  return 0;
}

std::string PathFrom(const char* buffer, size_t length) {
  if (length == 0 || length >= MAX_PATH) return "";
  return std::string(buffer, length);
}

class Win32ServiceSystem final : public ServiceSystem {
 public:
  runtime::DateTimeParts LocalTime() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    runtime::DateTimeParts parts;
    parts.year = now.wYear;
    parts.month = now.wMonth;
    parts.day = now.wDay;
    parts.hour = now.wHour;
    parts.minute = now.wMinute;
    parts.second = now.wSecond;
    parts.weekday = now.wDayOfWeek + 1;
    return parts;
  }

  std::string ProgramDirectory() override { return runtime::LocateProgram().directory; }

  bool FileExists(const char* path) override {
    WIN32_FIND_DATAA found;
    const FindHandle search(FindFirstFileA(path, &found));
    return static_cast<bool>(search);
  }

  std::optional<uint64_t> FileSize(const char* path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return std::nullopt;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  std::optional<std::vector<uint8_t>> ReadFile(const char* path) override {
    // A file too big for this process's memory cannot be read, like one that cannot be opened.
    try {
      return ReadWholeFile(path);
    } catch (const std::bad_alloc&) {
      return std::nullopt;
    }
  }

 private:
  static std::optional<std::vector<uint8_t>> ReadWholeFile(const char* path) {
    const KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size > 0x7FFFFFF0u) {
      return std::nullopt;
    }
    std::vector<uint8_t> bytes(size);
    DWORD done = 0;
    while (done < size) {
      DWORD read = 0;
      if (!::ReadFile(file.get(), bytes.data() + done, size - done, &read, nullptr) || read == 0)
        return std::nullopt;
      done += read;
    }
    return bytes;
  }

 public:
  std::optional<std::string> Environment(const char* name) override {
    std::string value(256, '\0');
    for (;;) {
      const DWORD length = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
      if (length == 0) return std::nullopt;
      if (length < value.size()) return value.substr(0, length);
      value.resize(length);  // the size needed, terminator included
    }
  }

  bool StartProcess(const char* commandLine, int showWindow, bool wait) override {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION info = {};
    std::string line(commandLine);  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
      return false;
    }
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);
    if (wait) {
      WaitForSingleObject(process.get(), INFINITE);
    } else {
      WaitForInputIdle(process.get(), 1000);
    }
    return true;
  }

  int ShowMessage(uintptr_t owner, const char* text, const char* title, uint32_t style) override {
    return MessageBoxA(reinterpret_cast<HWND>(owner), text, title, style);
  }

  std::optional<std::string> MachineRegistryValue(const char* key, const char* value,
                                                  size_t bufferSize) override {
    RegistryKey opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, opened.out()) != ERROR_SUCCESS)
      return std::nullopt;
    std::string buffer(bufferSize, '\0');
    DWORD size = static_cast<DWORD>(bufferSize);
    if (RegQueryValueExA(opened.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    buffer.resize(size < bufferSize ? size : bufferSize);
    return buffer;
  }

  std::string SpecialFolder(FolderSource source, int csidl) override {
    char path[MAX_PATH + 1] = {};
    switch (source) {
      case FolderSource::kShell:
        if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return "";
        return PathFrom(path, std::strlen(path));
      case FolderSource::kWindows:
        return PathFrom(path, GetWindowsDirectoryA(path, MAX_PATH));
      case FolderSource::kSystem:
        return PathFrom(path, GetSystemDirectoryA(path, MAX_PATH));
      case FolderSource::kTemp:
        return PathFrom(path, GetTempPathA(MAX_PATH, path));
    }
    return "";
  }

  bool StartThread(Subroutine routine, intptr_t parameter, bool keepHandle, intptr_t* handle) override {
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{routine, parameter});
    if (!start) return false;
    DWORD id = 0;
    KernelHandle thread(CreateThread(nullptr, 0, ThreadEntry, start.get(), 0, &id));
    if (!thread) return false;
    start.release();  // the thread's now: ThreadEntry frees it
    if (keepHandle) *handle = reinterpret_cast<intptr_t>(thread.release());
    return true;
  }

  bool EndThread(intptr_t handle) override {
    return TerminateThread(reinterpret_cast<HANDLE>(handle), static_cast<DWORD>(-1)) != FALSE;
  }
};

}  // namespace

void InstallWin32Services() {
  static Win32ServiceSystem system;
  InstallServiceSystem(&system);
}

}  // namespace services
