// The product check on synthetic images: each kind of fault is found, a fit image passes,
// and malformed files are refused without reading outside them.
#include "pe_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Layout {
  uint16_t machine = 0x14C, subsystem = 2;
  uint16_t osMajor = 5, osMinor = 0, subMajor = 5, subMinor = 0;
  uint32_t sectionAt = 0x200;                                             // the section's offset in the file
  std::vector<std::pair<std::string, std::vector<std::string>>> imports;  // "#n" = by ordinal
};

// A minimal PE32 image: headers, one section at RVA 0x1000 (file offset 0x200 unless the
// layout says otherwise) with the import table.
std::vector<uint8_t> Build(const Layout& layout) {
  std::vector<uint8_t> file(layout.sectionAt, 0);
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  put16(0, 0x5A4D);
  put32(0x3C, 0x40);
  put32(0x40, 0x00004550);
  const size_t fh = 0x44, oh = fh + 20;
  put16(fh, layout.machine);
  put16(fh + 2, 1);
  put16(fh + 16, 224);
  put16(oh, 0x10B);
  put16(oh + 40, layout.osMajor);
  put16(oh + 42, layout.osMinor);
  put16(oh + 48, layout.subMajor);
  put16(oh + 50, layout.subMinor);
  put16(oh + 68, layout.subsystem);
  put32(oh + 92, 16);

  // Section contents: descriptors, then per library its name, lookup table and names.
  std::vector<uint8_t> data((layout.imports.size() + 1) * 20, 0);
  const uint32_t base = 0x1000;
  for (size_t i = 0; i < layout.imports.size(); ++i) {
    const auto& [library, functions] = layout.imports[i];
    const uint32_t nameRva = base + static_cast<uint32_t>(data.size());
    data.insert(data.end(), library.begin(), library.end());
    data.push_back(0);
    while (data.size() % 4) data.push_back(0);
    const uint32_t lookupRva = base + static_cast<uint32_t>(data.size());
    const size_t lookupAt = data.size();
    data.resize(data.size() + 4 * (functions.size() + 1), 0);
    for (size_t f = 0; f < functions.size(); ++f) {
      uint32_t entry;
      if (functions[f][0] == '#') {
        entry = 0x80000000u | static_cast<uint32_t>(std::stoul(functions[f].substr(1)));
      } else {
        entry = base + static_cast<uint32_t>(data.size());
        data.push_back(0);
        data.push_back(0);  // hint
        data.insert(data.end(), functions[f].begin(), functions[f].end());
        data.push_back(0);
        while (data.size() % 2) data.push_back(0);
      }
      std::memcpy(&data[lookupAt + 4 * f], &entry, 4);
    }
    std::memcpy(&data[20 * i], &lookupRva, 4);
    std::memcpy(&data[20 * i + 12], &nameRva, 4);
    std::memcpy(&data[20 * i + 16], &lookupRva, 4);
  }
  put32(oh + 104, base);
  put32(oh + 108, static_cast<uint32_t>(data.size()));
  const size_t section = oh + 224;
  std::memcpy(&file[section], ".idata", 6);
  put32(section + 8, static_cast<uint32_t>(data.size()));
  put32(section + 12, base);
  put32(section + 16, static_cast<uint32_t>(data.size()));
  put32(section + 20, layout.sectionAt);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

const pe::AllowList kAllowed = pe::ParseAllowList(
    "# comment\n"
    "KERNEL32.dll ExitProcess GetVersion   # trailing comment\n"
    "USER32.dll MessageBoxA\n");

std::vector<std::string> Problems(const Layout& layout) {
  std::string error;
  auto image = pe::Read(Build(layout), &error);
  EXPECT_TRUE(image) << error;
  return image ? pe::CheckForWindows2000(*image, kAllowed) : std::vector<std::string>{"unreadable"};
}

TEST(PeCheck, AFitImagePassesAndImportsAreReadBack) {
  Layout layout;
  layout.imports = {{"kernel32.dll", {"ExitProcess", "GetVersion"}}, {"USER32.dll", {"MessageBoxA"}}};
  std::string error;
  auto image = pe::Read(Build(layout), &error);
  ASSERT_TRUE(image) << error;
  ASSERT_EQ(image->imports.size(), 2u);
  EXPECT_EQ(image->imports[0].library, "kernel32.dll");
  EXPECT_EQ(image->imports[0].functions, (std::vector<std::string>{"ExitProcess", "GetVersion"}));
  EXPECT_TRUE(pe::CheckForWindows2000(*image, kAllowed).empty()) << "library names compare without case";
}

TEST(PeCheck, EachFaultIsNamed) {
  Layout wrongMachine;
  wrongMachine.machine = 0x8664;
  EXPECT_EQ(Problems(wrongMachine), (std::vector<std::string>{"machine is not i386"}));
  Layout console;
  console.subsystem = 3;
  EXPECT_EQ(Problems(console), (std::vector<std::string>{"subsystem is not Windows GUI"}));
  // The device console is checked as a console program: there a GUI one is the fault.
  std::string error;
  EXPECT_TRUE(
      pe::CheckForWindows2000(*pe::Read(Build(console), &error), kAllowed, pe::kConsoleSubsystem).empty());
  EXPECT_EQ(pe::CheckForWindows2000(*pe::Read(Build(Layout{}), &error), kAllowed, pe::kConsoleSubsystem),
            (std::vector<std::string>{"subsystem is not console"}));
  Layout xpOnly;
  xpOnly.osMinor = 1;
  xpOnly.subMajor = 6;
  EXPECT_EQ(Problems(xpOnly),
            (std::vector<std::string>{"OS version 5.1 is above 5.0", "subsystem version 6.0 is above 5.0"}));
  Layout newer;
  newer.imports = {{"KERNEL32.dll", {"ExitProcess", "IsWow64Process", "#17"}},
                   {"gdiplus.dll", {"GdiplusStartup"}}};
  EXPECT_EQ(Problems(newer),
            (std::vector<std::string>{"import not on the Windows 2000 list: KERNEL32.dll IsWow64Process",
                                      "import not on the Windows 2000 list: KERNEL32.dll #17",
                                      "import not on the Windows 2000 list: gdiplus.dll GdiplusStartup"}));
}

TEST(PeCheck, OnlySectionsOnPagesInTheFileCountAsMapped) {
  Layout layout;
  layout.imports = {{"KERNEL32.dll", {"ExitProcess"}}};
  std::string error;
  auto image = pe::Read(Build(layout), &error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->sectionFileOffsets, (std::vector<uint32_t>{0x200}));
  EXPECT_EQ(pe::CheckMappedFromFile(*image),
            (std::vector<std::string>{
                "1 of 1 sections start off a page in the file: Wine copies the image into private memory"}));
  layout.sectionAt = 0x1000;
  image = pe::Read(Build(layout), &error);
  ASSERT_TRUE(image) << error;
  EXPECT_TRUE(pe::CheckMappedFromFile(*image).empty());
  EXPECT_EQ(image->imports.size(), 1u) << "the section is read where it now lies";
}

TEST(PeCheck, MalformedFilesAreRefused) {
  Layout layout;
  layout.imports = {{"KERNEL32.dll", {"ExitProcess"}}};
  const std::vector<uint8_t> good = Build(layout);
  std::string error;
  // Every truncation is refused or read within bounds (the sanitizers watch the reads).
  for (size_t length = 0; length < good.size(); ++length) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
    EXPECT_FALSE(pe::Read(cut, &error)) << length;
  }
  std::vector<uint8_t> wild = good;
  const uint32_t far = 0x7FFFFFF0;
  std::memcpy(&wild[0x3C], &far, 4);
  EXPECT_FALSE(pe::Read(wild, &error));
  EXPECT_EQ(error, "no PE signature");
}

}  // namespace
