// The repair command lists against a fake system that records every line in order: whole
// lists for 32-bit and 64-bit Windows before and from 6.0, the browser test, the quoting of
// head paths, and the redirection switched off around the 64-bit list on the calling thread.
#include "app/repair_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <map>
#include <string_view>
#include <thread>

#include "app/services/services.h"
#include "app/support/expected_repair_list.h"

using testing_support::ExpectedRepairList;
using testing_support::RepairCase;

namespace {

constexpr uint32_t kXp = 0x0A280105;          // 5.1, build 2600
constexpr uint32_t kServer2003 = 0x0ECE0205;  // 5.2, build 3790
constexpr uint32_t kVista = 0x17700006;       // 6.0, build 6000
constexpr uint32_t kWindows7 = 0x1DB10106;    // 6.1, build 7601

class FakeRepairSystem final : public app::RepairSystem {
 public:
  struct Line {
    std::string text;
    bool redirectionOff;
    std::thread::id thread;
  };

  uint32_t WindowsVersion() override { return version; }
  bool CanQueryWow64() override { return hasWow64Query; }
  int32_t QueryWow64() override {
    ++wow64Queries;
    return wow64Flag;
  }
  bool DisableRedirection(void** previous) override {
    redirectionCalls.push_back({"disable", std::this_thread::get_id()});
    if (!redirectionSwitches) return false;
    *previous = reinterpret_cast<void*>(0x5A5A);
    tRedirectionOff = true;
    return true;
  }
  bool RevertRedirection(void* previous) override {
    redirectionCalls.push_back({previous ? "revert(saved)" : "revert(0)", std::this_thread::get_id()});
    tRedirectionOff = false;
    return true;
  }
  services::OwnedText WindowsFolder() override {
    ++windowsFolderCalls;
    return Text(windowsFolder);
  }
  services::OwnedText MachineFolder(const char* valueName) override {
    auto it = machineFolders.find(valueName);
    return it == machineFolders.end() ? nullptr : Text(it->second);
  }
  services::OwnedText BrowserVersionText() override { return Text(browserVersion); }
  services::OwnedText RunDirectory() override { return Text(runDirectory); }
  bool Run(const char* commandLine) override {
    if (refusals > 0 && std::string_view(commandLine).find(refusedLine) != std::string_view::npos) {
      --refusals;
      return false;
    }
    lines.push_back({commandLine, tRedirectionOff, std::this_thread::get_id()});
    if (afterLine) afterLine(lines.size());
    return true;
  }
  void PauseBeforeRetry() override { ++pauses; }
  void ReportNotStarted(const char* commandLine) override { notStarted.push_back(commandLine); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Line& line : lines) texts.push_back(line.text);
    return texts;
  }

  static services::OwnedText Text(const std::string& text) {
    return services::OwnedText(runtime::NewText(text));
  }

  uint32_t version = kXp;
  bool hasWow64Query = true;
  int32_t wow64Flag = 0;
  bool redirectionSwitches = true;
  std::string windowsFolder = "C:\\WINDOWS\\";
  std::map<std::string, std::string> machineFolders = {{"ProgramFilesDir", "C:\\Program Files"},
                                                       {"ProgramFilesDir (x86)", "C:\\Program Files (x86)"}};
  std::string browserVersion = "6.0.2900.5512";
  std::string runDirectory = "C:\\Netmend";

  std::vector<Line> lines;
  std::string refusedLine;  // starts of lines holding this text fail, `refusals` times
  int refusals = 0;
  int pauses = 0;
  std::vector<std::string> notStarted;
  std::function<void(size_t)> afterLine;  // called on the running thread after each line
  std::vector<std::pair<std::string, std::thread::id>> redirectionCalls;
  int wow64Queries = 0;
  int windowsFolderCalls = 0;
  static thread_local bool tRedirectionOff;
};
thread_local bool FakeRepairSystem::tRedirectionOff = false;

// Resolves the prefixes and runs the repair as the worker does.
std::vector<std::string> Repair(FakeRepairSystem& system) {
  app::RepairCommands commands(system);
  commands.ResolveSystemPaths();
  commands.RunRepairCommands();
  return system.Texts();
}

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
}

TEST(RepairList32, WindowsXpWithInternetExplorer6) {
  FakeRepairSystem system;
  const auto lines = Repair(system);
  ExpectLines(lines, ExpectedRepairList({.wow64 = false, .nt6 = false, .ie7 = false}));
  EXPECT_EQ(lines.size(), 45u);
  EXPECT_EQ(lines[0], "C:\\WINDOWS\\System32\\taskkill.exe /im iexplore.exe /f");
  EXPECT_EQ(lines[1], "C:\\Netmend\\x86\\devcon.exe rescan");
  EXPECT_EQ(
      lines[4],
      "C:\\WINDOWS\\System32\\regsvr32.exe /s /i \"C:\\Program Files\\Internet Explorer\\ieproxy.dll\"");
  EXPECT_EQ(lines[25], "C:\\WINDOWS\\System32\\inf\\unregmp2.exe /UpdateWMPVersion");
  EXPECT_EQ(lines[29], "C:\\WINDOWS\\System32\\netsh.exe interface ip reset resetlog.txt");
  EXPECT_EQ(lines[31], "C:\\WINDOWS\\System32\\proxycfg.exe -d");
  EXPECT_EQ(
      lines[33],
      "C:\\WINDOWS\\System32\\Reg.exe add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\" /v AutoConfigURL /t REG_SZ /d \"\" /f");
  EXPECT_EQ(lines[35], "C:\\WINDOWS\\System32\\sc.exe stop SharedAccess");
  EXPECT_EQ(lines[44], "C:\\WINDOWS\\System32\\sc.exe config RasMan start= demand");
  EXPECT_TRUE(system.redirectionCalls.empty()) << "32-bit Windows never touches redirection";
}

TEST(RepairList32, Windows7WithInternetExplorer8) {
  FakeRepairSystem system;
  system.version = kWindows7;
  system.browserVersion = "8.0.7600.16385";
  const auto lines = Repair(system);
  ExpectLines(lines, ExpectedRepairList({.wow64 = false, .nt6 = true, .ie7 = true}));
  EXPECT_EQ(lines.size(), 48u);
  EXPECT_EQ(lines[31],
            "C:\\WINDOWS\\System32\\rundll32.exe /s C:\\WINDOWS\\System32\\WININET.dll,DispatchAPICall 1");
  EXPECT_EQ(
      lines.back(),
      "C:\\WINDOWS\\System32\\rundll32.exe C:\\WINDOWS\\System32\\inetcpl.cpl,ClearMyTracksByProcess 3071");
}

TEST(RepairList32, VistaIsNt6) {
  FakeRepairSystem system;
  system.version = kVista;
  ExpectLines(Repair(system), ExpectedRepairList({.wow64 = false, .nt6 = true, .ie7 = false}));
}

TEST(RepairList64, Server2003) {
  FakeRepairSystem system;
  system.version = kServer2003;
  system.wow64Flag = 1;
  const auto lines = Repair(system);
  ExpectLines(lines, ExpectedRepairList({.wow64 = true, .nt6 = false, .ie7 = false}));
  EXPECT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[1], "C:\\Netmend\\x64\\devcon.exe rescan");
  EXPECT_EQ(lines[26], "C:\\WINDOWS\\inf\\unregmp2.exe /UpdateWMPVersion");
  EXPECT_EQ(lines[27], "C:\\WINDOWS\\SysWOW64\\arp.exe -d");
}

TEST(RepairList64, Windows7WithInternetExplorer11) {
  FakeRepairSystem system;
  system.version = kWindows7;
  system.wow64Flag = 1;
  system.browserVersion = "9.11.9600.16428";
  const auto lines = Repair(system);
  ExpectLines(lines, ExpectedRepairList({.wow64 = true, .nt6 = true, .ie7 = true}));
  EXPECT_EQ(lines.size(), 49u);
  EXPECT_EQ(
      lines[4],
      "C:\\WINDOWS\\System32\\regsvr32.exe /s /i \"C:\\Program Files\\Internet Explorer\\ieproxy.dll\"");
  EXPECT_EQ(lines[5],
            "C:\\WINDOWS\\SysWOW64\\regsvr32.exe /s /i \"C:\\Program Files (x86)\\Internet "
            "Explorer\\ieproxy.dll\"");
  EXPECT_EQ(lines[6], "C:\\WINDOWS\\SysWOW64\\regsvr32.exe /s /i C:\\WINDOWS\\SysWOW64\\browseui.dll");
  EXPECT_EQ(lines[26], "C:\\WINDOWS\\SysWOW64\\unregmp2.exe /UpdateWMPVersion");
  EXPECT_EQ(
      lines.back(),
      "C:\\WINDOWS\\SysWOW64\\rundll32.exe C:\\WINDOWS\\SysWOW64\\inetcpl.cpl,ClearMyTracksByProcess 3071");
}

TEST(RepairList64, AMissingProgramFilesX86LeavesABackslash) {
  FakeRepairSystem system;
  system.wow64Flag = 1;
  system.machineFolders.erase("ProgramFilesDir (x86)");
  const auto lines = Repair(system);
  ExpectLines(lines, ExpectedRepairList({.wow64 = true, .programFilesX86 = "\\"}));
  EXPECT_EQ(lines[5], "C:\\WINDOWS\\SysWOW64\\regsvr32.exe /s /i \"\\Internet Explorer\\ieproxy.dll\"");
}

TEST(RepairCommands, RedirectionIsSwitchedOffAndBackOnTheCallingThreadOnly) {
  FakeRepairSystem system;
  system.version = kWindows7;
  system.wow64Flag = 1;
  std::thread::id worker;
  std::thread thread([&] {
    worker = std::this_thread::get_id();
    Repair(system);
    EXPECT_FALSE(FakeRepairSystem::tRedirectionOff) << "back on when the list is done";
  });
  thread.join();
  ASSERT_EQ(system.lines.size(), 48u);
  for (const auto& line : system.lines) {
    EXPECT_TRUE(line.redirectionOff) << line.text;
    EXPECT_EQ(line.thread, worker);
  }
  ASSERT_EQ(system.redirectionCalls.size(), 2u);
  EXPECT_EQ(system.redirectionCalls[0].first, "disable");
  EXPECT_EQ(system.redirectionCalls[1].first, "revert(0)") << "reverted with 0, not the saved value";
  for (const auto& call : system.redirectionCalls) EXPECT_EQ(call.second, worker);
  EXPECT_FALSE(FakeRepairSystem::tRedirectionOff) << "this thread's redirection was never touched";
}

TEST(RepairCommands, RedirectionThatCannotBeSwitchedOffRunsNoLine) {
  FakeRepairSystem system;
  system.wow64Flag = 1;
  system.redirectionSwitches = false;
  EXPECT_TRUE(Repair(system).empty());
  ASSERT_EQ(system.redirectionCalls.size(), 1u) << "nothing to revert";
}

TEST(RepairCommands, ASystemWithoutTheWow64QueryRunsThe32BitList) {
  FakeRepairSystem system;
  system.hasWow64Query = false;
  system.wow64Flag = 1;  // never asked
  ExpectLines(Repair(system), ExpectedRepairList({}));
  EXPECT_EQ(system.wow64Queries, 0);
  EXPECT_TRUE(system.redirectionCalls.empty());
}

TEST(RepairCommands, HeadPathsWithASpaceAreQuotedAndNothingElseChanges) {
  FakeRepairSystem system;
  system.runDirectory = "C:\\Program Files\\Netmend";
  const auto lines = Repair(system);
  const auto expected = ExpectedRepairList({.runDir = "C:\\Program Files\\Netmend"});
  ExpectLines(lines, expected);
  EXPECT_EQ(lines[1], "\"C:\\Program Files\\Netmend\\x86\\devcon.exe\" rescan");
  EXPECT_EQ(lines[3], "\"C:\\Program Files\\Netmend\\x86\\devcon.exe\" enable =Net USB\\*");
  // Every line whose head has no space is the same as in a folder without one.
  const auto plain = ExpectedRepairList({});
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i >= 1 && i <= 3) continue;
    EXPECT_EQ(lines[i], plain[i]);
  }

  FakeRepairSystem spaced;
  spaced.windowsFolder = "D:\\My Windows\\";
  const auto spacedLines = Repair(spaced);
  ExpectLines(spacedLines, ExpectedRepairList({.windowsDir = "D:\\My Windows\\"}));
  EXPECT_EQ(spacedLines[5],
            "\"D:\\My Windows\\System32\\regsvr32.exe\" /s /i D:\\My Windows\\System32\\browseui.dll");
}

// A loaded system may refuse a new process for a moment: the line is tried again after a pause,
// and one that never starts is reported, never dropped without a word.
TEST(RepairCommands, ALineThatCannotStartIsTriedAgainThenReported) {
  FakeRepairSystem system;
  system.refusedLine = "vbscript.dll";
  system.refusals = 2;
  ExpectLines(Repair(system), ExpectedRepairList({}));
  EXPECT_EQ(system.pauses, 2);
  EXPECT_TRUE(system.notStarted.empty());

  FakeRepairSystem refusing;
  refusing.refusedLine = "vbscript.dll";
  refusing.refusals = 1000;
  const auto lines = Repair(refusing);
  EXPECT_EQ(lines.size(), ExpectedRepairList({}).size() - 1) << "the other lines still run";
  ASSERT_EQ(refusing.notStarted.size(), 1u);
  EXPECT_NE(refusing.notStarted[0].find("vbscript.dll"), std::string::npos);
}

TEST(RepairCommands, SystemPaths) {
  FakeRepairSystem system;
  system.machineFolders.clear();
  app::RepairCommands commands(system);
  commands.ResolveSystemPaths();
  EXPECT_EQ(system.windowsFolderCalls, 3);
  EXPECT_EQ(services::View(commands.paths().windowsDir), "C:\\WINDOWS\\");
  EXPECT_EQ(services::View(commands.paths().system32Dir), "C:\\WINDOWS\\System32\\");
  EXPECT_EQ(services::View(commands.paths().sysWow64Dir), "C:\\WINDOWS\\SysWOW64\\");
  EXPECT_EQ(services::View(commands.paths().programFilesDir), "\\");
  EXPECT_EQ(services::View(commands.paths().programFilesX86Dir), "\\");
}

// The worker runs the list on its own thread; the test holds it between two lines and acts on
// the window's thread there. Under AddressSanitizer a line built from freed prefixes aborts.
class HeldWorker {
 public:
  HeldWorker(FakeRepairSystem& system, app::RepairCommands& commands, size_t holdAfter) {
    system.afterLine = [this, holdAfter](size_t line) {
      if (line != holdAfter) return;
      held_.set_value();
      go_.get_future().wait();
    };
    thread_ = std::thread([&commands] { commands.RunRepairCommands(); });
    held_.get_future().wait();
  }
  void Finish() {
    go_.set_value();
    thread_.join();
  }

 private:
  std::promise<void> held_, go_;
  std::thread thread_;
};

TEST(RepairWorker, ARestoreBetweenTwoLinesKeepsThePrefixesTheWorkerUses) {
  FakeRepairSystem system;
  app::RepairCommands commands(system);
  commands.ResolveSystemPaths();
  HeldWorker worker(system, commands, 1);
  system.windowsFolder = "D:\\OTHER\\";
  commands.ResolveSystemPaths();  // a restore from minimised rebuilds the look
  worker.Finish();
  ExpectLines(system.Texts(), ExpectedRepairList({}));
  EXPECT_EQ(system.windowsFolderCalls, 3) << "resolved once for the process";
}

TEST(RepairWorker, ACloseBetweenTwoLinesStopsTheListAndFreesThePrefixesAfterIt) {
  FakeRepairSystem system;
  app::RepairCommands commands(system);
  commands.ResolveSystemPaths();
  HeldWorker worker(system, commands, 3);
  commands.ReleaseSystemPaths();  // the program's end
  EXPECT_NE(commands.paths().system32Dir, nullptr) << "kept while the worker runs";
  worker.Finish();
  EXPECT_EQ(system.lines.size(), 3u) << "no line after the close";
  EXPECT_EQ(commands.paths().system32Dir, nullptr) << "freed by the worker on its way out";
  commands.RunRepairCommands();
  EXPECT_EQ(system.lines.size(), 3u) << "nothing runs once released";
}

TEST(RepairWorker, AStopRequestEndsTheListAtTheNextLineAndRedirectionIsRestored) {
  FakeRepairSystem system;
  system.wow64Flag = 1;
  app::RepairCommands commands(system);
  commands.ResolveSystemPaths();
  HeldWorker worker(system, commands, 5);
  commands.RequestStop();  // the worker has had its 90 s
  worker.Finish();
  EXPECT_EQ(system.lines.size(), 5u);
  ASSERT_EQ(system.redirectionCalls.size(), 2u);
  EXPECT_EQ(system.redirectionCalls[1].first, "revert(0)");
  commands.ReleaseSystemPaths();
  EXPECT_EQ(commands.paths().system32Dir, nullptr);
}

TEST(RepairCommands, WindowsVersionNumbers) {
  FakeRepairSystem system;
  app::RepairCommands commands(system);
  const std::pair<uint32_t, double> versions[] = {{kXp, 5.1},       {kServer2003, 5.2}, {kVista, 6.0},
                                                  {kWindows7, 6.1}, {0x23F00206, 6.2},  {0x80000005, 5.0}};
  for (const auto& [version, number] : versions) {
    system.version = version;
    EXPECT_DOUBLE_EQ(commands.GetWindowsVersionNumber(), number) << std::hex << version;
  }
}

TEST(RepairCommands, BrowserMajorVersions) {
  FakeRepairSystem system;
  app::RepairCommands commands(system);
  const std::pair<const char*, const char*> versions[] = {
      {"9.11.9600.16428", "11"}, {"9.10.9200.16384", "10"}, {"9.0.8112.16421", "9"},
      {"6.0.2900.5512", "6"},    {"8.0.7600.16385", "8"},   {"", ""},
  };
  for (const auto& [version, major] : versions) {
    system.browserVersion = version;
    EXPECT_EQ(services::View(commands.GetBrowserMajorVersion()), major) << version;
  }
}

}  // namespace
