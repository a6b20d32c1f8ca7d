// template-dump: prints a template block as readable text. With no argument it prints the
// program's own block; with a file name, that file; with --write FILE it saves the program's
// block to FILE (the seed of the template reader's fuzz corpus is made this way).
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/layout.h"
#include "tools/template_dump.h"

namespace {

// Stored texts are in the system code page of the target systems (GBK); shown in UTF-8, or
// escaped when they are not valid GBK.
std::string QuoteFromGbk(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter == reinterpret_cast<iconv_t>(-1)) return tools::QuoteEscaped(bytes);
  std::string input(bytes);
  std::string output(input.size() * 2 + 4, '\0');
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = input.size(), outLeft = output.size();
  const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (converted == static_cast<size_t>(-1) || inLeft != 0) return tools::QuoteEscaped(bytes);
  output.resize(output.size() - outLeft);
  for (char c : output) {
    if (c == '"' || c == '\\' || (static_cast<unsigned char>(c) < 0x20)) return tools::QuoteEscaped(bytes);
  }
  return "\"" + output + "\"";
}

int Usage() {
  std::cerr << "usage: template-dump [FILE | --write FILE]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::span<const uint8_t> program = app::ProgramTemplateBlock();
  std::vector<uint8_t> block(program.begin(), program.end());
  if (argc == 3 && std::string(argv[1]) == "--write") {
    std::ofstream file(argv[2], std::ios::binary);
    file.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    return file ? 0 : 1;
  }
  if (argc > 2) return Usage();
  if (argc == 2) {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "template-dump: cannot open " << argv[1] << "\n";
      return 1;
    }
    block.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  tools::DumpOptions options;
  options.quote = QuoteFromGbk;
  options.handlerName = [](uint32_t number) { return std::string(app::HandlerName(number)); };
  std::cout << tools::DumpTemplateBlock(block, options);
  return 0;
}
