// The runtime tests' two windows, unit by unit in stored order.
#include "runtime/test_layout.h"

#include "components/label/label_properties.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/templates/template_writer.h"

namespace test_layout {
namespace {

using runtime::EventBinding;
using runtime::kUnitTabStop;
using runtime::kUnitVisible;
using runtime::UnitTemplate;
using runtime::WindowTemplate;

// The handler numbers the block stores.
constexpr uint32_t kHandler1 = 1, kHandler2 = 2, kHandler3 = 3, kHandler4 = 4, kHandler5 = 5, kHandler6 = 6,
                   kHandler7 = 7;

constexpr runtime::Bytes MainWindowBlock() {
  return runtime::WriteWindowBlock({
      .borderStyle = 0,  // no frame, no caption
      .picturePlacement = 1,
      .backgroundColour = runtime::kNoColor,
      .maximizeButton = false,
      .minimizeButton = false,
      .controlBox = true,
      .startPosition = 1,  // centred on the screen
      .closeAllowed = true,
      .soundPlaying = 0,
      .enterMovesFocus = false,
      .escCloses = true,
      .f1Help = false,
      .helpContext = 0,
      .showInTaskbar = true,
      .dragByClient = true,  // moved by dragging its background
      .shape = 0,
      .alwaysOnTop = false,
      .keepCaptionActive = false,
  });
}

constexpr runtime::Bytes OverlayWindowBlock() {
  return runtime::WriteWindowBlock({
      .borderStyle = 0,
      .picturePlacement = 1,
      .backgroundColour = runtime::kNoColor,
      .maximizeButton = false,
      .minimizeButton = false,
      .controlBox = false,
      .startPosition = 1,
      .closeAllowed = true,
      .soundPlaying = 0,
      .enterMovesFocus = false,
      .escCloses = true,
      .f1Help = false,
      .helpContext = 0,
      .showInTaskbar = false,  // owned by the hidden owner window unless loaded with an owner
      .dragByClient = false,
      .shape = 0,
      .alwaysOnTop = false,
      .keepCaptionActive = false,
  });
}

constexpr runtime::Bytes CloseButtonBlock() {
  return runtime::WriteButtonBlock({.type = 0, .horizontalAlign = 1, .verticalAlign = 1, .caption = "关闭"});
}

// The labels' font: "微软雅黑", regular weight, with the character set the label stored.
constexpr runtime::Bytes LabelFont(int32_t height, uint8_t charSet) {
  runtime::FontRecord font{.height = height,
                           .weight = 400,
                           .charSet = charSet,
                           .outPrecision = 3,
                           .clipPrecision = 2,
                           .quality = 1,
                           .pitchAndFamily = 0x22};
  font.SetFaceName("微软雅黑");
  return runtime::WriteFontRecord(font);
}

constexpr runtime::Bytes LabelBlock(uint32_t textColour, int32_t fontHeight, uint8_t charSet) {
  return components::WriteTransLabelBlock({.textEffect = 0,
                                           .textColour = textColour,
                                           .horizontalAlign = 0,  // left
                                           .verticalAlign = 1,    // middle
                                           .wordWrap = false,
                                           .font = LabelFont(fontHeight, charSet),
                                           .caption = ""});
}

constexpr WindowTemplate MainWindow() {
  using runtime::kClassButton;
  using runtime::kClassTimer;
  return {
      .id = kMainWindow,
      .words = {0x00C423F0, 0x19010048},
      .units =
          {
              {.id = kMainWindowUnit,
               .typeReference = runtime::kClassWindow,
               .left = 50,
               .top = 50,
               .width = 800,
               .height = 580,
               .flags = kUnitVisible,
               .bindings = {{kWindowCreated, kHandler1},
                            {kWindowMoved, kHandler2},
                            {kWindowFirstActivated, kHandler3}},
               .classBlock = MainWindowBlock()},
              {.id = kLogoButton,
               .typeReference = kClassButton,
               .name = "Logo",
               .left = 70,
               .top = 206,
               .width = 258,
               .height = 255,
               .flags = kUnitVisible | kUnitTabStop},
              {.id = kFinishButton,
               .typeReference = kClassButton,
               .name = "Finish",
               .left = 458,
               .top = 336,
               .width = 214,
               .height = 56,
               .flags = kUnitVisible | kUnitTabStop,
               .bindings = {{kButtonClicked, kHandler4}}},
              {.id = kProgressClock,
               .typeReference = kClassTimer,
               .name = "Clock",
               .left = 312,
               .top = 16,
               .width = 26,
               .height = 26,
               .flags = 0,
               .bindings = {{kTimerElapsed, kHandler5}}},
              {.id = kCloseButton,
               .typeReference = kClassButton,
               .name = "Close",
               .left = 748,
               .top = 16,
               .width = 37,
               .height = 29,
               .flags = kUnitVisible | kUnitTabStop,
               .bindings = {{kButtonClicked, kHandler4}},
               .classBlock = CloseButtonBlock()},
              {.id = kRepairButton,
               .typeReference = kClassButton,
               .name = "Repair",
               .left = 458,
               .top = 393,
               .width = 214,
               .height = 56,
               .flags = kUnitVisible | kUnitTabStop,
               .bindings = {{kButtonClicked, kHandler6}}},
          },
  };
}

constexpr WindowTemplate OverlayWindow() {
  using runtime::kClassCartoonBox;
  using runtime::kClassCartoonObject;
  using runtime::kClassTransLabel;
  return {
      .id = kOverlayWindow,
      .words = {7, 0x190108FB},
      .units =
          {
              {.id = kOverlayWindowUnit,
               .typeReference = runtime::kClassWindow,
               .left = 50,
               .top = 50,
               .width = 800,
               .height = 540,
               .flags = kUnitVisible,
               .bindings = {{kWindowCreated, kHandler7}},
               .classBlock = OverlayWindowBlock()},
              {.id = kCartoonBox2,
               .typeReference = kClassCartoonBox,
               .name = "Box2",
               .left = 608,
               .top = 16,
               .width = 32,
               .height = 32,
               .flags = kUnitTabStop},
              {.id = kCartoonObject2,
               .typeReference = kClassCartoonObject,
               .name = "Object2",
               .left = 560,
               .top = 16,
               .width = 40,
               .height = 32,
               .flags = 0},
              {.id = kDescriptionLabel,
               .typeReference = kClassTransLabel,
               .name = "Description",
               .left = 50,
               .top = 250,
               .width = 460,
               .height = 50,
               .flags = kUnitVisible,
               .classBlock = LabelBlock(0x00000000, -21, 0)},
              {.id = kTitleLabel,
               .typeReference = kClassTransLabel,
               .name = "Title",
               .left = 50,
               .top = 150,
               .width = 460,
               .height = 60,
               .flags = kUnitVisible,
               .classBlock = LabelBlock(0x00000000, -48, 134)},
              {.id = kLabel1,
               .typeReference = kClassTransLabel,
               .name = "Label1",
               .left = 50,
               .top = 360,
               .width = 400,
               .height = 32,
               .flags = kUnitVisible,
               .classBlock = LabelBlock(0x00FFFFFF, -16, 134)},
              {.id = kCartoonObject1,
               .typeReference = kClassCartoonObject,
               .name = "Object1",
               .left = 424,
               .top = 16,
               .width = 40,
               .height = 32,
               .flags = 0},
              {.id = kCartoonBox1,
               .typeReference = kClassCartoonBox,
               .name = "Box1",
               .left = 480,
               .top = 16,
               .width = 32,
               .height = 32,
               .flags = kUnitTabStop},
          },
  };
}

}  // namespace

runtime::TemplateTable Layout() { return {.windows = {MainWindow(), OverlayWindow()}}; }

std::span<const uint8_t> TemplateBlock() {
  static const runtime::Bytes block = runtime::WriteTemplateBlock(Layout());
  return block;
}

}  // namespace test_layout
