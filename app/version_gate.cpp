// The operating-system gate over the runtime's text-to-number, message box and program end.
#include "app/version_gate.h"

#include <cmath>

#include "app/services/services.h"
#include "runtime/entry_points.h"

namespace app {
namespace {

constexpr double kTolerance = 1e-7;
constexpr int32_t kInformationBox = 64;

double BoundOf(const char* text) {
  return static_cast<double>(services::TextToFloat(runtime::TypedValue::Text(text)));
}

}  // namespace

std::optional<std::string> VersionRefusal(double version, const char* lowest, const char* highest) {
  const std::string_view low = runtime::TextView(lowest);
  const std::string_view high = runtime::TextView(highest);
  // Equal bounds name the one version supported; any other, older ones too, hears that. The
  // check for "too low" could come first (then an older system would hear it is too old), but
  // with equal bounds the only-supports message is the more useful one and is what callers of
  // the gate expect, so equal bounds are decided before the range.
  if (!high.empty() && low == high) {
    if (std::abs(version - BoundOf(lowest)) > kTolerance)
      return "非常抱歉，本程序仅支持 " + std::string(low) + " 版本 Windows 系统。";
    return std::nullopt;
  }
  if (version - BoundOf(lowest) < -kTolerance) return std::string(kVersionTooLow);
  if (!high.empty() && version - BoundOf(highest) > kTolerance) return std::string(kVersionTooHigh);
  return std::nullopt;
}

void CheckWindowsVersion(double version, const char* lowest, const char* highest) {
  const std::optional<std::string> refusal = VersionRefusal(version, lowest, highest);
  if (!refusal) return;
  services::ShowMessageBox(runtime::TypedValue::Text(refusal->c_str()), kInformationBox, kGateTitle);
  runtime::EndProgram(0);
}

}  // namespace app
