// pe-check <allow-list> <exe>: fails, naming each problem, unless the exe is a 32-bit GUI
// program that Windows 2000 loads and that imports only what Windows 2000 has.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "pe_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pe-check <allow-list> <exe>\n");
    return 2;
  }
  std::ifstream listFile(argv[1]);
  std::ifstream exeFile(argv[2], std::ios::binary);
  if (!listFile || !exeFile) {
    std::fprintf(stderr, "pe-check: cannot read %s\n", !listFile ? argv[1] : argv[2]);
    return 1;
  }
  std::stringstream listText;
  listText << listFile.rdbuf();
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(exeFile)),
                                   std::istreambuf_iterator<char>());
  std::string error;
  auto image = pe::Read(bytes, &error);
  if (!image) {
    std::fprintf(stderr, "pe-check: %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  const auto problems = pe::CheckForWindows2000(*image, pe::ParseAllowList(listText.str()));
  for (const auto& problem : problems) std::fprintf(stderr, "pe-check: %s\n", problem.c_str());
  size_t functions = 0;
  for (const auto& import : image->imports) functions += import.functions.size();
  std::printf("%s: %zu libraries, %zu functions imported, %s\n", argv[2], image->imports.size(), functions,
              problems.empty() ? "fit for Windows 2000 and later" : "NOT fit");
  return problems.empty() ? 0 : 1;
}
