// A stand-in for the system tools the repair starts: it records how it was started (its own
// path, its command line exactly as received, the start-up show flags) in a new file of the
// folder named by NETMEND_RECORD_DIR, and ends. NETMEND_RECORD_DELAY_MS delays the record, for
// telling a waited-for start from one that is not.
#include <windows.h>

#include <string>

namespace {

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

// A file of its own per record: recorders started at the same moment never share a file. It
// is written under a temporary name and then renamed, so that a reader of "*.record" files
// never sees half a record.
bool WriteRecord(const std::string& folder, const std::string& record) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = folder + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount()) + "-" + std::to_string(attempt);
    HANDLE file = CreateFileA((name + ".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    const bool whole = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
                       written == record.size();
    CloseHandle(file);
    return whole && MoveFileA((name + ".tmp").c_str(), (name + ".record").c_str());
  }
  return false;
}

}  // namespace

int main() {
  const std::string folder = Variable("NETMEND_RECORD_DIR");
  if (folder.empty()) return 2;
  const std::string delay = Variable("NETMEND_RECORD_DELAY_MS");
  if (!delay.empty()) Sleep(static_cast<DWORD>(std::stoul(delay)));

  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const std::string record = std::string(self) + "\n" + GetCommandLineA() + "\n" +
                             std::to_string(startup.dwFlags & STARTF_USESHOWWINDOW) + " " +
                             std::to_string(startup.wShowWindow) + "\n";
  return WriteRecord(folder, record) ? 0 : 3;
}
