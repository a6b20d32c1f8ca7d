// Text rendering through GDI: measure each line with the font, draw the lines on a 32-bit DIB
// of the background colour, then make the pixels two-coloured (text_render.cpp).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "base/gdi_win.h"
#include "components/object/text_render.h"

namespace components {

using base::DibSection;
using base::GdiObject;
using base::MemoryDc;
using base::Selection;
namespace {

constexpr int kLineGap = 2;

struct Measured {
  std::vector<int> heights;
  int32_t width = 0;
  int64_t height = 0;
};

Measured MeasureLines(HDC dc, const std::vector<std::string_view>& lines) {
  Measured m;
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  for (std::string_view line : lines) {
    SIZE size{0, 0};
    if (!line.empty()) GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &size);
    // An empty line still takes the font's height.
    const int height = line.empty() ? metrics.tmHeight : size.cy;
    m.heights.push_back(height);
    m.width = std::max<int32_t>(m.width, size.cx);
    m.height += height;
  }
  m.height += static_cast<int64_t>(kLineGap) * (static_cast<int64_t>(lines.size()) - 1);
  return m;
}

GdiObject<HFONT> FontFrom(std::span<const uint8_t> font) {
  if (font.size() != sizeof(LOGFONTA)) return GdiObject<HFONT>();
  LOGFONTA logFont;
  std::memcpy(&logFont, font.data(), sizeof logFont);
  logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  return GdiObject<HFONT>(CreateFontIndirectA(&logFont));
}

FrameSet Render(std::string_view text, std::span<const uint8_t> font, uint32_t textColor, size_t budget) {
  static_assert(sizeof(LOGFONTA) == 60, "a stored font is a 60-byte LOGFONT");
  const std::vector<std::string_view> lines = SplitTextLines(text);
  if (lines.empty()) return {};
  MemoryDc dc;
  if (!dc.get()) return {};
  const GdiObject<HFONT> created = FontFrom(font);
  const Selection fontSelection(dc.get(), created.get() ? created.get() : GetStockObject(DEFAULT_GUI_FONT));
  const Measured m = MeasureLines(dc.get(), lines);
  if (m.width <= 0 || m.height <= 0 || FrameBytesWithin(m.width, m.height, 1, budget) == 0) return {};

  const int32_t height = static_cast<int32_t>(m.height);
  const DibSection dib(dc.get(), m.width, height);
  if (!dib.bits()) return {};
  const Selection bitmapSelection(dc.get(), dib.get());
  const uint32_t background = TextBackgroundColor(textColor);
  std::fill_n(dib.bits(), static_cast<size_t>(m.width) * height, SwapRedBlue(background));
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), textColor & kColorMask);
  int y = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty()) TextOutA(dc.get(), 0, y, lines[i].data(), static_cast<int>(lines[i].size()));
    y += m.heights[i] + kLineGap;
  }
  GdiFlush();

  FrameSet set;
  set.width = m.width;
  set.height = height;
  set.frames.emplace_back().pixels.assign(dib.bits(), dib.bits() + static_cast<size_t>(m.width) * height);
  FinishTextFrame(set, textColor, background);
  return set;
}

}  // namespace

FrameSet RenderText(std::string_view text, std::span<const uint8_t> font, uint32_t textColor, size_t budget) {
  try {
    return Render(text, font, textColor, budget);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace components
