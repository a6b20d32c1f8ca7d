// The runtime tests' own two windows, shaped like a real program's: a main window with
// buttons and a timer, and an overlay window of the components' units (labels, animation
// objects and boxes) that is loaded on top of it. The ids the tests address them by, and the
// block written from them.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/templates/window_template.h"

namespace test_layout {

// The main window and its units.
inline constexpr uint32_t kMainWindow = 0x52010001;
inline constexpr uint32_t kMainWindowUnit = 0x06010000;
inline constexpr uint32_t kLogoButton = 0x16010F61;
inline constexpr uint32_t kFinishButton = 0x16010AAD;
inline constexpr uint32_t kProgressClock = 0x16010623;
inline constexpr uint32_t kCloseButton = 0x1601025D;
inline constexpr uint32_t kRepairButton = 0x1601017E;

// The overlay window and its units.
inline constexpr uint32_t kOverlayWindow = 0x520108F7;
inline constexpr uint32_t kOverlayWindowUnit = 0x060108F8;
inline constexpr uint32_t kCartoonBox2 = 0x16010DC0;
inline constexpr uint32_t kCartoonObject2 = 0x16010DBF;
inline constexpr uint32_t kDescriptionLabel = 0x16010BCE;
inline constexpr uint32_t kTitleLabel = 0x16010BCC;
inline constexpr uint32_t kLabel1 = 0x16010ACD;
inline constexpr uint32_t kCartoonObject1 = 0x16010A9D;
inline constexpr uint32_t kCartoonBox1 = 0x16010A9C;

// Events the layout binds, each to a handler number of its own (1 to kHandlerCount).
inline constexpr int32_t kWindowCreated = 0;
inline constexpr int32_t kWindowMoved = 3;
inline constexpr int32_t kWindowFirstActivated = 8;
inline constexpr int32_t kButtonClicked = 0;
inline constexpr int32_t kTimerElapsed = 0;
inline constexpr uint32_t kHandlerCount = 7;

// The two windows as data, handlers unresolved.
runtime::TemplateTable Layout();
// The template block written from that data (kept for the process).
std::span<const uint8_t> TemplateBlock();

}  // namespace test_layout
