// The program's two windows: the ids its code addresses them by, the numbers its template
// block stores for the event handlers, and the block itself.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/templates/window_template.h"

namespace app {

// The main window and its units.
inline constexpr uint32_t kMainWindow = 0x52010001;
inline constexpr uint32_t kMainWindowUnit = 0x06010000;
inline constexpr uint32_t kLogoButton = 0x16010F61;     // "开始按钮_LOGO"
inline constexpr uint32_t kFinishButton = 0x16010AAD;   // "开始按钮_关闭"
inline constexpr uint32_t kProgressClock = 0x16010623;  // "时钟_标准1"
inline constexpr uint32_t kCloseButton = 0x1601025D;    // "按钮_关闭"
inline constexpr uint32_t kRepairButton = 0x1601017E;   // "开始按钮_修复"

// The overlay window and its units.
inline constexpr uint32_t kOverlayWindow = 0x520108F7;
inline constexpr uint32_t kOverlayWindowUnit = 0x060108F8;
inline constexpr uint32_t kCartoonBox2 = 0x16010DC0;       // "动画框2"
inline constexpr uint32_t kCartoonObject2 = 0x16010DBF;    // "动画物体2"
inline constexpr uint32_t kDescriptionLabel = 0x16010BCE;  // "程序描述"
inline constexpr uint32_t kTitleLabel = 0x16010BCC;        // "程序名称"
inline constexpr uint32_t kLabel1 = 0x16010ACD;            // "透明标签1"
inline constexpr uint32_t kCartoonObject1 = 0x16010A9D;    // "动画物体1"
inline constexpr uint32_t kCartoonBox1 = 0x16010A9C;       // "动画框1"

// Events the program binds.
inline constexpr int32_t kWindowCreated = 0;
inline constexpr int32_t kWindowMoved = 3;
inline constexpr int32_t kWindowFirstActivated = 8;
inline constexpr int32_t kButtonClicked = 0;
inline constexpr int32_t kTimerElapsed = 0;

// What the template block stores as a handler reference: the number of the application
// routine. The runtime takes the routine from the handler table by (window, unit, event); the
// numbers only say that an event is bound, and to what, for people reading a dump.
enum HandlerNumber : uint32_t {
  kBuildSkin = 1,
  kFollowMainWindow = 2,
  kOperatingSystemGate = 3,
  kCloseMainWindow = 4,
  kOnProgressTick = 5,
  kStartRepair = 6,
  kMakeOverlayTransparent = 7,
};
// The routine's name, or empty for a number that names none.
std::string_view HandlerName(uint32_t number);

// The two windows as data, handlers unresolved.
runtime::TemplateTable ProgramLayout();
// The template block written from that data while the program was compiled: 2,365 bytes.
std::span<const uint8_t> ProgramTemplateBlock();

}  // namespace app
