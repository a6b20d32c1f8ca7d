// The repair command lines a system should get, written out from the table of lines, for the
// native tests and the end-to-end run under Wine alike.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct RepairCase {
  bool wow64 = false;  // the 64-bit list
  bool nt6 = false;    // Windows 6.0 or later
  bool ie7 = false;    // Internet Explorer 7 or later
  std::string windowsDir = "C:\\WINDOWS\\";
  std::string programFiles = "C:\\Program Files\\";
  std::string programFilesX86 = "C:\\Program Files (x86)\\";
  std::string runDir = "C:\\Netmend";
};

std::vector<std::string> ExpectedRepairList(const RepairCase& c);

}  // namespace testing_support
