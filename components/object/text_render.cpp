// The portable half of text rendering.
#include "components/object/text_render.h"

namespace components {

std::vector<std::string_view> SplitTextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (feed == std::string_view::npos) break;
    text.remove_prefix(feed + 1);
  }
  return lines;
}

uint32_t TextBackgroundColor(uint32_t textColor) {
  return (textColor & kColorMask) == 0xFFFFFF ? 0x000000 : 0xFFFFFF;
}

void FinishTextFrame(FrameSet& set, uint32_t textColor, uint32_t background) {
  const uint32_t text = SwapRedBlue(textColor & kColorMask);
  const uint32_t back = SwapRedBlue(background & kColorMask);
  for (Frame& frame : set.frames) {
    for (uint32_t& p : frame.pixels) p = (p & kColorMask) == back ? back : text;
    frame.transparentColor = background & kColorMask;
    frame.delay = 0;
  }
}

}  // namespace components
