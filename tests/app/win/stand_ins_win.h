// The system tools' stand-ins for tests that run the repair for real, in a throwaway Wine
// prefix (repair_e2e.sh): the recorder put in place of every tool, and what it recorded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// Where the recorders write, one file per start.
inline constexpr const char* kRecordFolder = "C:\\netmend-e2e-records";

struct Record {
  std::string program, commandLine, show;
};
std::vector<Record> ReadRecords();
// Makes the folder when needed and removes its files.
void ClearFolder(const std::string& folder);

void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value);
void DeleteRegistryValue(HKEY root, const char* key, const char* name);

// Puts the recorder in place of every system tool but the ones named (in System32, and under
// WOW64 in SysWOW64 too), and makes Wine prefer it
// to its built-in tool of the same name; the ones named get their original file back. Refuses
// (false) outside a throwaway prefix.
bool PlaceRecorders(const std::string& recorder, const std::vector<std::string>& realTools = {});

// Waits until no stand-in runs any more (none of the tools' names, devcon.exe or Program.exe
// is a running process's), so that every record that will come has come; false when some
// still run after the time.
bool WaitForStandInsToEnd(DWORD milliseconds);
// Ends every stand-in still running (one that Wine left hanging at its start holds its file,
// which the next test must replace).
void EndStandIns();

// Fails the calling test unless the records hold exactly the expected lines (in any order:
// the processes run on their own), each started hidden.
void ExpectRecordedLines(const std::vector<Record>& records, std::vector<std::string> expected);

// Whether this process is a 32-bit one on 64-bit Windows (then the repair takes the 64-bit list).
bool UnderWow64();

std::string SystemFolder();
std::string WindowsFolder();  // with a trailing backslash
std::string EnvironmentValue(const char* name);

}  // namespace testing_support
