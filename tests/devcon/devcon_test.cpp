// The device console's portable half: its command line, and which devices of a made-up list
// an `enable` touches.
#include "devcon/devcon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace devcon {
namespace {

Command Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "devcon.exe");
  return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(DevconCommandLine, TheRepairsLinesAndTheirCase) {
  EXPECT_EQ(Parse({"rescan"}).action, Action::kRescan);
  EXPECT_EQ(Parse({"ReScan"}).action, Action::kRescan);
  const Command pci = Parse({"enable", "=Net", "PCI\\*"});
  EXPECT_EQ(pci.action, Action::kEnable);
  EXPECT_EQ(pci.className, "Net");
  EXPECT_EQ(pci.patterns, std::vector<std::string>{"PCI\\*"});
  const Command both = Parse({"ENABLE", "=net", "PCI\\*", "USB\\*"});
  EXPECT_EQ(both.action, Action::kEnable);
  EXPECT_EQ(both.patterns, (std::vector<std::string>{"PCI\\*", "USB\\*"}));
}

TEST(DevconCommandLine, AnythingElseAsksForTheUsage) {
  for (const auto& arguments : std::vector<std::vector<const char*>>{
           {},
           {"rescan", "now"},
           {"disable", "=Net", "PCI\\*"},
           {"enable"},
           {"enable", "=Net"},  // no pattern: it would enable the whole class
           {"enable", "Net", "PCI\\*"},
           {"enable", "=", "PCI\\*"},
           {"enable", "=Net", "PCI\\*", "=Ports"},
           {"enable", "=Net", ""},
           {"/?"},
       }) {
    EXPECT_EQ(Parse(arguments).action, Action::kUsage) << arguments.size();
  }
  EXPECT_NE(std::string(UsageText()).find("enable =CLASS PATTERN"), std::string::npos);
}

TEST(DevconWildcard, StarsCaseAndWholeText) {
  EXPECT_TRUE(WildcardMatch("PCI\\*", "PCI\\VEN_8086&DEV_100E"));
  EXPECT_TRUE(WildcardMatch("pci\\*", "PCI\\VEN_8086"));
  EXPECT_TRUE(WildcardMatch("PCI\\*", "PCI\\"));
  EXPECT_FALSE(WildcardMatch("PCI\\*", "PCI"));
  EXPECT_FALSE(WildcardMatch("PCI\\*", "ACPI\\PNP0A03"));  // only a prefix may match
  EXPECT_TRUE(WildcardMatch("*\\VEN_8086*", "PCI\\VEN_8086&DEV_100E"));
  EXPECT_TRUE(WildcardMatch("*&DEV_100E", "PCI\\VEN_8086&DEV_100E&DEV_100E"));
  EXPECT_TRUE(WildcardMatch("P*I*E", "PCI\\VEN_8086&DEV_100E"));
  EXPECT_FALSE(WildcardMatch("P*I*X", "PCI\\VEN_8086&DEV_100E"));
  EXPECT_TRUE(WildcardMatch("**", ""));
  EXPECT_FALSE(WildcardMatch("", "PCI"));
  // Without a star the whole ID must match, case aside.
  EXPECT_TRUE(WildcardMatch("usb\\class_e0", "USB\\Class_E0"));
  EXPECT_FALSE(WildcardMatch("USB\\Class_E0", "USB\\Class_E0&SubClass_01"));
  // A pattern of many stars against a long ID ends at once (no backtracking blow-up).
  EXPECT_FALSE(
      WildcardMatch(std::string(40, '*') + "b" + std::string(40, '*') + "c", std::string(5000, 'a')));
}

// A made-up machine: two network adapters on PCI (one only by a compatible ID), a USB one, a
// network adapter of another bus, and a PCI device of another class.
std::vector<DeviceIds> Machine() {
  return {
      {"Net", {"PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086", "PCI\\VEN_8086&DEV_100E"}, {"PCI\\CC_020000"}},
      {"NET", {"VMBUS\\{F8615163}"}, {"pci\\cc_0200"}},
      {"Net", {"USB\\VID_0BDA&PID_8153&REV_3000"}, {"USB\\Class_ff"}},
      {"Net", {"ROOT\\NET\\0000"}, {}},
      {"Display", {"PCI\\VEN_1234&DEV_1111"}, {"PCI\\CC_030000"}},
      {"", {"PCI\\VEN_1AF4&DEV_1000"}, {}},
  };
}

std::vector<int> Chosen(const Command& command) {
  std::vector<int> chosen;
  const auto machine = Machine();
  for (size_t i = 0; i < machine.size(); ++i) {
    if (Selects(command, machine[i])) chosen.push_back(static_cast<int>(i));
  }
  return chosen;
}

TEST(DevconChoice, ClassByNameAndIdsOfBothKinds) {
  EXPECT_EQ(Chosen(Parse({"enable", "=Net", "PCI\\*"})), (std::vector<int>{0, 1}));
  EXPECT_EQ(Chosen(Parse({"enable", "=net", "USB\\*"})), (std::vector<int>{2}));
  EXPECT_EQ(Chosen(Parse({"enable", "=Net", "PCI\\*", "USB\\*"})), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Chosen(Parse({"enable", "=Display", "PCI\\*"})), (std::vector<int>{4}));
  EXPECT_EQ(Chosen(Parse({"enable", "=Net", "PCI\\VEN_8086&DEV_100E"})), (std::vector<int>{0}));
  EXPECT_EQ(Chosen(Parse({"enable", "=Ne", "PCI\\*"})), std::vector<int>{}) << "the class by its whole name";
  EXPECT_EQ(Chosen(Parse({"enable", "=Net", "1394\\*"})), std::vector<int>{});
  EXPECT_EQ(Chosen(Parse({"rescan"})), std::vector<int>{}) << "only enable chooses devices";
}

TEST(DevconMultiString, WithinItsSizeWhateverItsEnd) {
  const char ids[] = "PCI\\A\0PCI\\B\0\0";
  EXPECT_EQ(SplitMultiString(ids, sizeof ids - 1), (std::vector<std::string>{"PCI\\A", "PCI\\B"}));
  EXPECT_EQ(SplitMultiString(ids, 8), (std::vector<std::string>{"PCI\\A", "PC"})) << "cut short";
  EXPECT_EQ(SplitMultiString("\0\0", 2), std::vector<std::string>{});
  EXPECT_EQ(SplitMultiString(nullptr, 0), std::vector<std::string>{});
}

TEST(DevconReport, SummaryAndExitCode) {
  EXPECT_EQ(SummaryLine({}), "0 devices enabled, 0 already enabled.");
  EXPECT_EQ(ExitCode({}), kDone) << "no matching device is done";
  const Tally restart{.enabled = 2, .restartNeeded = 1, .alreadyEnabled = 1};
  EXPECT_EQ(SummaryLine(restart), "2 devices enabled (1 after a restart), 1 already enabled.");
  EXPECT_EQ(ExitCode(restart), kDoneRestartNeeded);
  const Tally failed{.enabled = 1, .restartNeeded = 1, .failed = 1};
  EXPECT_EQ(SummaryLine(failed), "1 device enabled (1 after a restart), 0 already enabled, 1 failed.");
  EXPECT_EQ(ExitCode(failed), kFailed);
}

}  // namespace
}  // namespace devcon
