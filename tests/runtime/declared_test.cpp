// Declared functions: search order, the six standard libraries, ordinals, caching, messages.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/core/declared_functions.h"
#include "support/recording_platform.h"

using namespace runtime;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

// A fake system: files that load, their exports, and a record of every load and release.
class FakeLoader final : public LibraryLoader {
 public:
  struct Module {
    std::string path;
    std::map<std::string, int> exports;  // name or "#ordinal" → fake address
  };

  void Add(const std::string& path, std::map<std::string, int> exports) { modules_[path] = {path, exports}; }
  void AddSystem(const std::string& file) { system_.insert(file); }

  Library Load(const std::string& path) override {
    tried.push_back(path);
    auto it = modules_.find(path);
    if (it == modules_.end()) return nullptr;
    ++loaded[path];
    return &it->second;
  }
  void* Find(Library library, const char* name) override { return Lookup(library, name); }
  void* FindOrdinal(Library library, uint16_t ordinal) override {
    return Lookup(library, ("#" + std::to_string(ordinal)).c_str());
  }
  void Release(Library library) override { --loaded[static_cast<Module*>(library)->path]; }
  std::string SystemLibraryPath(const std::string& file) override {
    return system_.count(file) ? "C:\\WINDOWS\\system32\\" + file : "";
  }

  std::vector<std::string> tried;
  std::map<std::string, int> loaded;  // outstanding references per path

 private:
  void* Lookup(Library library, const char* name) {
    auto& exports = static_cast<Module*>(library)->exports;
    auto it = exports.find(name);
    return it == exports.end() ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(it->second));
  }
  std::map<std::string, Module> modules_;
  std::set<std::string> system_;
};

void* Address(int value) { return reinterpret_cast<void*>(static_cast<uintptr_t>(value)); }

TEST(ParseOrdinal, HashAndDigitsModulo65536) {
  uint16_t ordinal = 0;
  EXPECT_TRUE(ParseOrdinal("#16", &ordinal));
  EXPECT_EQ(ordinal, 16);
  EXPECT_TRUE(ParseOrdinal("#65552", &ordinal));
  EXPECT_EQ(ordinal, 16);
  EXPECT_TRUE(ParseOrdinal("#99999999999999999999", &ordinal)) << "no overflow on long digit runs";
  EXPECT_EQ(ordinal, 65535);
  EXPECT_FALSE(ParseOrdinal("#", &ordinal));
  EXPECT_FALSE(ParseOrdinal("#1a", &ordinal));
  EXPECT_FALSE(ParseOrdinal("GetVersion", &ordinal));
}

TEST(Declared, EmptyLibraryTriesTheStandardSixAndReleasesTheMisses) {
  FakeLoader loader;
  for (const char* lib : kStandardLibraries) loader.Add(lib, {});
  loader.Add("User32.dll", {{"MessageBoxA", 0x1234}});
  const Declaration table[] = {{"", "MessageBoxA"}};
  DeclaredFunctions declared(table, loader);
  EXPECT_EQ(declared.Resolve(0), Address(0x1234));
  EXPECT_EQ(loader.tried, (std::vector<std::string>{"Kernel32.dll", "Gdi32.dll", "User32.dll"}));
  EXPECT_EQ(loader.loaded["Kernel32.dll"], 0);
  EXPECT_EQ(loader.loaded["Gdi32.dll"], 0);
  EXPECT_EQ(loader.loaded["User32.dll"], 1) << "the library that has it is kept";

  // Cached: no second search.
  EXPECT_EQ(declared.Resolve(0), Address(0x1234));
  EXPECT_EQ(loader.tried.size(), 3u);
  declared.ReleaseAll();
  EXPECT_EQ(loader.loaded["User32.dll"], 0);
}

TEST(Declared, RelativeNamesFollowTheSearchOrder) {
  FakeLoader loader;
  loader.Add("helper.dll", {{"F", 1}});
  const Declaration table[] = {{"helper.dll", "F"}};
  DeclaredFunctions declared(table, loader);
  declared.SetDllDirectory("D:\\dlls");
  declared.SetProgramDirectory("C:\\prog");
  declared.SetSecondDirectory("E:\\more");
  EXPECT_EQ(declared.Resolve(0), Address(1));
  EXPECT_EQ(loader.tried, (std::vector<std::string>{"D:\\dlls\\helper.dll", "C:\\prog\\helper.dll",
                                                    "E:\\more\\helper.dll", "helper.dll"}));
}

TEST(Declared, AProgramFolderCopyOfASystemLibraryIsNotLoaded) {
  FakeLoader loader;
  loader.Add("C:\\Downloads\\version.dll", {{"GetFileVersionInfoA", 66}});  // planted
  loader.Add("version.dll", {{"GetFileVersionInfoA", 5}});  // found by a plain search: may be the planted one
  loader.Add("C:\\WINDOWS\\system32\\version.dll", {{"GetFileVersionInfoA", 7}});  // the system's
  loader.AddSystem("version.dll");
  loader.Add("C:\\Downloads\\private.dll", {{"Work", 9}});
  const Declaration table[] = {{"version.dll", "GetFileVersionInfoA"}, {"private.dll", "Work"}};
  DeclaredFunctions declared(table, loader);
  declared.SetProgramDirectory("C:\\Downloads");
  EXPECT_EQ(declared.Resolve(0), Address(7));
  EXPECT_EQ(loader.tried, (std::vector<std::string>{"C:\\WINDOWS\\system32\\version.dll"}));
  EXPECT_EQ(declared.Resolve(1), Address(9)) << "a library of the program's own still comes from its folder";
}

TEST(Declared, AbsolutePathsAndOrdinals) {
  FakeLoader loader;
  loader.Add("C:\\x\\lib.dll", {{"#16", 16}, {"Named", 2}});
  const Declaration table[] = {
      {"C:\\x\\lib.dll", "#16"}, {"C:\\x\\lib.dll", "#65552"}, {"C:\\x\\lib.dll", "Named"}};
  DeclaredFunctions declared(table, loader);
  declared.SetProgramDirectory("C:\\prog");
  EXPECT_EQ(declared.Resolve(0), Address(16));
  EXPECT_EQ(declared.Resolve(1), Address(16));
  EXPECT_EQ(declared.Resolve(2), Address(2));
  EXPECT_EQ(loader.tried, (std::vector<std::string>(3, "C:\\x\\lib.dll")));
}

TEST(Declared, MissingExportsAreRuntimeErrorsOrNullOnRequest) {
  RecordingPlatform platform;
  FakeLoader loader;
  for (const char* lib : kStandardLibraries) loader.Add(lib, {});
  loader.Add("kernel32", {});
  const Declaration table[] = {{"kernel32", "IsWow64Process"}, {"", "Nowhere"}, {"absent.dll", "F"}};
  DeclaredFunctions declared(table, loader);
  EXPECT_EQ(declared.TryResolve(0), nullptr);
  EXPECT_EQ(loader.loaded["kernel32"], 0) << "a library without the export is released";
  EXPECT_TRUE(platform.boxes.empty());

  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(0); }), -1);
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(1); }), -1);
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(2); }), -1);
  ASSERT_EQ(platform.boxes.size(), 3u);
  EXPECT_EQ(platform.boxes[0].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“kernel32”中的输出命令“IsWow64Process”\r\n");
  EXPECT_EQ(platform.boxes[1].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“Nowhere”\r\n");
  EXPECT_EQ(platform.boxes[2].text,
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“absent.dll”中的输出命令“F”\r\n");
  for (const auto& [path, references] : loader.loaded) EXPECT_EQ(references, 0) << path;
}

TEST(Declared, AnExplicitLibraryServesOneCallOnly) {
  RecordingPlatform platform;
  FakeLoader loader;
  loader.Add("a.dll", {{"F", 1}});
  loader.Add("b.dll", {{"F", 2}});
  const Declaration table[] = {{"a.dll", "F"}};
  DeclaredFunctions declared(table, loader);
  LibraryLoader::Library b = loader.Load("b.dll");
  declared.SetExplicitLibrary(b);
  EXPECT_EQ(declared.Resolve(0), Address(2));
  EXPECT_EQ(declared.Resolve(0), Address(1)) << "the setting was cleared after the call";

  loader.Add("c.dll", {});
  declared.SetExplicitLibrary(loader.Load("c.dll"));
  EXPECT_EQ(ExitCodeOf([&] { declared.Resolve(0); }), -1);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“F”\r\n");
}

}  // namespace
