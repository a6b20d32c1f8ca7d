// The device console's portable half: its command line, the choice of devices an `enable`
// touches (setup class by name, hardware and compatible IDs against wildcard patterns), and
// what it reports. The Win32 half (devcon_win.cpp) reads the devices and changes them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace devcon {

// Exit codes: the repair starts the tool hidden, so they are all it reports.
inline constexpr int kDone = 0;
inline constexpr int kDoneRestartNeeded = 1;
inline constexpr int kFailed = 2;
inline constexpr int kWrongCommandLine = 3;

enum class Action { kUsage, kRescan, kEnable };

struct Command {
  Action action = Action::kUsage;
  std::string className;              // enable: the setup class named after '='
  std::vector<std::string> patterns;  // enable: at least one
};

// `rescan`, or `enable =CLASS PATTERN...` (command names in any case); anything else asks for
// the usage text.
Command ParseCommandLine(int argc, const char* const* argv);

// The usage text, for a wrong command line.
const char* UsageText();

// Whether the text matches the pattern, letters compared without regard to case; '*' stands
// for any run of characters (none included). Linear in the text for each '*', whatever the
// pattern.
bool WildcardMatch(const std::string& pattern, const std::string& text);

// What the system says about one present device.
struct DeviceIds {
  std::string className;
  std::vector<std::string> hardwareIds, compatibleIds;
};

// Whether `enable` is about this device: its class is the command's (without regard to case)
// and one of its hardware or compatible IDs matches one of the patterns.
bool Selects(const Command& command, const DeviceIds& device);

// The strings of a REG_MULTI_SZ value as the system hands it over: NUL-separated, ending with
// an empty string. Read only within the size given; a last string without its NUL still counts.
std::vector<std::string> SplitMultiString(const char* bytes, size_t size);

// What an `enable` did.
struct Tally {
  int enabled = 0;         // devices enabled now
  int restartNeeded = 0;   // of those, devices that take effect after a restart
  int failed = 0;          // devices that refused
  int alreadyEnabled = 0;  // matching devices left as they were
};

// The summary line (without a newline) and the exit code that go with a tally.
std::string SummaryLine(const Tally& tally);
int ExitCode(const Tally& tally);

}  // namespace devcon
