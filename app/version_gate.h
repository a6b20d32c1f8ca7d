// The operating-system gate: Windows older than XP gets a polite refusal in a message box and
// the program ends with code 0.
#pragma once

#include <optional>
#include <string>

namespace app {

inline constexpr char kGateTitle[] = "友情提示";
inline constexpr char kVersionTooLow[] = "非常抱歉，您所使用的 Windows 版本过低，本程序暂不支持。";
inline constexpr char kVersionTooHigh[] = "非常抱歉，您所使用的 Windows 版本过高，本程序暂不支持。";
// The lowest version the program runs on, and no upper limit.
inline constexpr char kLowestWindows[] = "5.1";
inline constexpr char kHighestWindows[] = "";

// What the gate says to a Windows of this version (major + minor / 10) given the bounds, or
// nothing when it may run. The bounds are read as the runtime reads a text into a single
// float, then widened ("5.1" is 5.099999904632568), and compared with a tolerance of 1e-7; an
// empty highest means no upper limit, and equal bounds accept that one version only.
std::optional<std::string> VersionRefusal(double version, const char* lowest, const char* highest);

// Returns when the version passes; otherwise shows the refusal (information icon, title
// "友情提示", no owner) and ends the program with code 0 once it is closed.
void CheckWindowsVersion(double version, const char* lowest, const char* highest);

}  // namespace app
