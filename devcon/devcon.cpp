// The device console's portable half: command line, device choice and report.
#include "devcon/devcon.h"

#include <algorithm>

namespace devcon {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool AnyMatches(const std::vector<std::string>& patterns, const std::vector<std::string>& ids) {
  for (const std::string& id : ids) {
    for (const std::string& pattern : patterns) {
      if (WildcardMatch(pattern, id)) return true;
    }
  }
  return false;
}

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

Command ParseCommandLine(int argc, const char* const* argv) {
  Command command;
  if (argc == 2 && SameText(argv[1], "rescan")) {
    command.action = Action::kRescan;
    return command;
  }
  // The class comes first, as `=CLASS`, and at least one pattern after it: an `enable` that
  // names no devices would enable a whole class.
  if (argc < 4 || !SameText(argv[1], "enable") || argv[2][0] != '=' || argv[2][1] == '\0') return command;
  for (int i = 3; i < argc; ++i) {
    if (argv[i][0] == '\0' || argv[i][0] == '=') return command;
  }
  command.action = Action::kEnable;
  command.className = argv[2] + 1;
  command.patterns.assign(argv + 3, argv + argc);
  return command;
}

const char* UsageText() {
  return "Netmend's device console.\n"
         "\n"
         "  devcon rescan\n"
         "      Looks for new hardware from the root of the device tree and waits until done.\n"
         "  devcon enable =CLASS PATTERN...\n"
         "      Enables the present devices of the setup class CLASS (Net, say) that are\n"
         "      disabled and whose hardware or compatible IDs match a PATTERN ('*' matches\n"
         "      any characters, case does not count: PCI\\*).\n"
         "\n"
         "Exit code: 0 done, 1 done but a restart is needed, 2 failed, 3 wrong command line.\n";
}

bool WildcardMatch(const std::string& pattern, const std::string& text) {
  // The greedy two-pointer walk: on a mismatch, the last '*' takes one more character. Only
  // the last '*' ever needs to be retried, so no backtracking beyond it.
  size_t p = 0, t = 0;
  size_t star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && Lower(pattern[p]) == Lower(text[t])) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Selects(const Command& command, const DeviceIds& device) {
  if (command.action != Action::kEnable || !SameText(command.className, device.className)) return false;
  return AnyMatches(command.patterns, device.hardwareIds) ||
         AnyMatches(command.patterns, device.compatibleIds);
}

std::vector<std::string> SplitMultiString(const char* bytes, size_t size) {
  std::vector<std::string> strings;
  size_t start = 0;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && bytes[i] != '\0') continue;
    if (i == start) break;  // the empty string that ends the list
    strings.emplace_back(bytes + start, i - start);
    start = i + 1;
  }
  return strings;
}

std::string SummaryLine(const Tally& tally) {
  std::string line = Count(tally.enabled, "device", "devices") + " enabled";
  if (tally.restartNeeded > 0) line += " (" + std::to_string(tally.restartNeeded) + " after a restart)";
  line += ", " + std::to_string(tally.alreadyEnabled) + " already enabled";
  if (tally.failed > 0) line += ", " + std::to_string(tally.failed) + " failed";
  return line + ".";
}

int ExitCode(const Tally& tally) {
  if (tally.failed > 0) return kFailed;
  return tally.restartNeeded > 0 ? kDoneRestartNeeded : kDone;
}

}  // namespace devcon
