// pe-check <allow-list> <exe>: fails, naming each problem, unless the exe is a 32-bit GUI
// program that Windows 2000 loads and that imports only what Windows 2000 has.
// pe-check --console <allow-list> <exe>: the same for a console program (the device console).
// pe-check --resources <exe>: fails unless the exe carries the product's manifest, version
// resource and icon (see product_resources.h); prints the version texts.
// pe-check --mapped <exe>: fails unless Wine can map the exe's sections from the file instead
// of copying the image into the process's private memory.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "pe_image.h"
#include "product_resources.h"

namespace {

int Report(const char* exe, const std::vector<std::string>& problems, const std::string& summary) {
  for (const auto& problem : problems) std::fprintf(stderr, "pe-check: %s\n", problem.c_str());
  std::printf("%s: %s\n", exe, summary.c_str());
  return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool console = argc == 4 && std::strcmp(argv[1], "--console") == 0;
  if (console) {
    --argc;
    ++argv;
  }
  const bool resources = argc == 3 && std::strcmp(argv[1], "--resources") == 0;
  const bool mapped = argc == 3 && std::strcmp(argv[1], "--mapped") == 0;
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: pe-check [--console] <allow-list> <exe> | pe-check --resources|--mapped <exe>\n");
    return 2;
  }
  std::ifstream exeFile(argv[2], std::ios::binary);
  if (!exeFile) {
    std::fprintf(stderr, "pe-check: cannot read %s\n", argv[2]);
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(exeFile)),
                                   std::istreambuf_iterator<char>());
  std::string error;
  auto image = pe::Read(bytes, &error);
  if (!image) {
    std::fprintf(stderr, "pe-check: %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  if (mapped) {
    const auto problems = pe::CheckMappedFromFile(*image);
    return Report(argv[2], problems, problems.empty() ? "sections on pages in the file" : "NOT fit");
  }
  if (resources) {
    const auto problems = pe::CheckProductResources(*image);
    std::string summary = problems.empty() ? "manifest, version and icon as the product needs" : "NOT fit";
    for (const auto& r : image->resources) {
      if (r.type != pe::kVersion) continue;
      if (auto info = pe::ParseVersionInfo(r.data, &error)) {
        for (const auto& [key, value] : info->strings) summary += "\n  " + key + " = " + value;
      }
    }
    return Report(argv[2], problems, summary);
  }
  std::ifstream listFile(argv[1]);
  if (!listFile) {
    std::fprintf(stderr, "pe-check: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream listText;
  listText << listFile.rdbuf();
  const auto problems = pe::CheckForWindows2000(*image, pe::ParseAllowList(listText.str()),
                                                console ? pe::kConsoleSubsystem : pe::kGuiSubsystem);
  size_t functions = 0;
  for (const auto& import : image->imports) functions += import.functions.size();
  return Report(argv[2], problems,
                std::to_string(image->imports.size()) + " libraries, " + std::to_string(functions) +
                    " functions imported, " +
                    (problems.empty() ? "fit for Windows 2000 and later" : "NOT fit"));
}
