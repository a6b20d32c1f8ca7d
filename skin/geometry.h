// The portable rules of the skin layer: image placement, colours and the visual state of a
// PNG button.
#pragma once

#include <cstdint>

namespace skin {

// Image placement of a control ("PngControl_BackType").
enum Placement : int32_t { kPlaceNatural = 0, kPlaceStretch = 1, kPlaceFit = 2 };

// Visual states of a PNG button ("Vireo_DrawState").
enum VisualState : int32_t { kStateNormal = 0, kStateHover = 1, kStatePressed = 2, kStateDisabled = 3 };

struct Size {
  int32_t width;
  int32_t height;
};

// The image size fitted into the box keeping its aspect ratio (never enlarged); products are
// formed before the division and the results truncated toward zero.
Size FitSize(double imageWidth, double imageHeight, double boxWidth, double boxHeight);

// GDI+ ARGB of a COLORREF (0x00BBGGRR) and an alpha (its low 8 bits).
uint32_t ColorToArgb(uint32_t color, uint32_t alpha);

// Where an image lands in a control of w x h at (x, y), and which part of it is drawn.
struct ImagePlacement {
  float x, y, width, height;  // destination
  bool cut;                   // natural size larger than the control: only its top-left w x h
};
ImagePlacement PlaceImage(int32_t placement, float imageWidth, float imageHeight, int32_t x, int32_t y,
                          int32_t w, int32_t h);

// Events that change a button's look: the mouse, the enabled flag, and for a button painting
// itself also its focus and the pushed state its stock procedure sets (BM_SETSTATE; cleared
// with the focus or without).
enum class ButtonEvent {
  kMouseMove,
  kMouseLeave,
  kButtonDown,
  kButtonUp,
  kEnabled,
  kDisabled,
  kFocusGained,
  kFocusLost,
  kPushed,
  kUnpushed,
  kUnpushedFocused,
};

// The state after the event, for both kinds of button. Mouse moves change nothing while
// hovered or pressed; a disabled button stays disabled until it is enabled.
int32_t NextState(int32_t state, ButtonEvent event);

}  // namespace skin
