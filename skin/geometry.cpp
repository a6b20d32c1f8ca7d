// Image placement, colours and the button's visual states.
#include "skin/geometry.h"

namespace skin {

Size FitSize(double imageWidth, double imageHeight, double boxWidth, double boxHeight) {
  double width = imageWidth;
  double height = imageHeight;
  if (imageWidth > boxWidth) {
    width = boxWidth;
    height = imageHeight * boxWidth / imageWidth;
  }
  if (height > boxHeight) {
    width = width * boxHeight / height;
    height = boxHeight;
  }
  return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

uint32_t ColorToArgb(uint32_t color, uint32_t alpha) {
  const uint32_t red = color & 0xFF;
  const uint32_t green = (color >> 8) & 0xFF;
  const uint32_t blue = (color >> 16) & 0xFF;
  return (alpha & 0xFF) << 24 | red << 16 | green << 8 | blue;
}

ImagePlacement PlaceImage(int32_t placement, float imageWidth, float imageHeight, int32_t x, int32_t y,
                          int32_t w, int32_t h) {
  if (placement == kPlaceStretch) {
    return {float(x), float(y), float(w), float(h), false};
  }
  if (placement == kPlaceFit) {
    const Size fit = FitSize(imageWidth, imageHeight, w, h);
    return {float(x + (w - fit.width) / 2), float(y + (h - fit.height) / 2), float(fit.width),
            float(fit.height), false};
  }
  // Natural size; an image larger than the control is cut from its top-left corner.
  if (imageWidth - w > 0.0000001f || imageHeight - h > 0.0000001f) {
    return {float(x), float(y), float(w), float(h), true};
  }
  return {float(x), float(y), imageWidth, imageHeight, false};
}

int32_t NextState(int32_t state, ButtonEvent event) {
  // A disabled window hears no mouse, but a leave tracked before it was disabled still comes
  // in: it must not give a disabled button its normal look.
  if (state == kStateDisabled && event != ButtonEvent::kEnabled) return kStateDisabled;
  switch (event) {
    case ButtonEvent::kMouseMove:
      return state == kStateHover || state == kStatePressed ? state : kStateHover;
    case ButtonEvent::kMouseLeave:
      return kStateNormal;
    case ButtonEvent::kButtonDown:
      return kStatePressed;
    case ButtonEvent::kButtonUp:
      return state == kStatePressed ? kStateHover : kStateNormal;
    case ButtonEvent::kEnabled:
      return kStateNormal;
    case ButtonEvent::kDisabled:
      return kStateDisabled;
    case ButtonEvent::kFocusGained:
      return state == kStatePressed ? kStateHover : state;
    case ButtonEvent::kFocusLost:
      return state == kStateHover ? kStateNormal : state;
    case ButtonEvent::kPushed:
      return kStatePressed;
    case ButtonEvent::kUnpushed:
      return kStateNormal;
    case ButtonEvent::kUnpushedFocused:
      return kStateHover;
  }
  return state;
}

}  // namespace skin
