// Rendering an animation object's text into a frame set. Measuring and drawing glyphs is the
// platform's (text_render_win.cpp); splitting the text and making the pixels two-coloured is ours.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "components/image/frame_set.h"

namespace components {

// The lines of a text: split at line feeds, a carriage return just before a line feed dropped,
// and no line for what follows a final line feed.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// The background a text in `textColor` (COLORREF) is drawn on: black for white text, else white.
uint32_t TextBackgroundColor(uint32_t textColor);

// After drawing: every pixel that is not exactly the background becomes the text colour, so
// that no anti-aliased edge remains, and the background becomes the transparent colour.
// Both colours are COLORREFs.
void FinishTextFrame(FrameSet& set, uint32_t textColor, uint32_t background);

#ifdef _WIN32
// The text drawn in `textColor` with `font` (a 60-byte LOGFONT; anything else means the default
// GUI font): one frame, delay 0, as wide as the widest line and as high as the lines plus 2
// pixels between them. An empty text or a zero size gives no image.
FrameSet RenderText(std::string_view text, std::span<const uint8_t> font, uint32_t textColor,
                    size_t budget = kPictureBudget);
#endif

}  // namespace components
