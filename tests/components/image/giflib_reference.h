// giflib as the reference for our GIF decoder (tests and benchmarks only, never the product):
// DGifSlurp reads the file from memory and the images are composited to whole canvases by the
// same rules our decoder follows: canvas starts fully transparent; disposal 2 and 3 restore the
// area from a copy saved before drawing; the transparent index draws nothing; indexes beyond
// the colour table are opaque black; images are clipped to the logical screen.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace giflib_reference {

struct Canvas {
  int delay;  // milliseconds, 50 for 0
  std::vector<uint32_t> pixels;
};

struct Result {
  int width = 0, height = 0;
  std::vector<Canvas> frames;
  bool ok = false;
};

struct MemoryInput {
  const uint8_t* data;
  size_t size;
  size_t offset;
};

inline int ReadMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(length), in->size - in->offset);
  std::memcpy(out, in->data + in->offset, n);
  in->offset += n;
  return static_cast<int>(n);
}

// Draws image `i` of the slurped file onto the canvas.
inline void DrawImage(const GifFileType* gif, int i, const GraphicsControlBlock& gcb,
                      std::vector<uint32_t>& canvas) {
  const SavedImage& image = gif->SavedImages[i];
  const GifImageDesc& d = image.ImageDesc;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  for (int y = 0; y < d.Height; ++y) {
    if (d.Top + y >= gif->SHeight) break;
    for (int x = 0; x < d.Width; ++x) {
      if (d.Left + x >= gif->SWidth) break;
      const int index = image.RasterBits[static_cast<size_t>(y) * d.Width + x];
      if (gcb.TransparentColor == index) continue;
      uint32_t color = 0;
      if (map && index < map->ColorCount) {
        const GifColorType& c = map->Colors[index];
        color = (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
      }
      canvas[static_cast<size_t>(d.Top + y) * gif->SWidth + d.Left + x] = color;
    }
  }
}

inline void Composite(const GifFileType* gif, Result* result) {
  const int w = gif->SWidth, h = gif->SHeight;
  std::vector<uint32_t> canvas(static_cast<size_t>(w) * h, 0xFFFFFFFF), saved;
  int savedLeft = 0, savedTop = 0, savedRight = 0, savedBottom = 0, disposalBefore = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(const_cast<GifFileType*>(gif), i, &gcb);
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    if (disposalBefore == 2 || disposalBefore == 3) {
      for (int y = savedTop; y < savedBottom; ++y)
        std::copy_n(saved.begin() + static_cast<ptrdiff_t>(y - savedTop) * (savedRight - savedLeft),
                    savedRight - savedLeft, canvas.begin() + static_cast<ptrdiff_t>(y) * w + savedLeft);
    }
    if (gcb.DisposalMode == 2 || gcb.DisposalMode == 3) {
      savedLeft = std::min(d.Left, w);
      savedTop = std::min(d.Top, h);
      savedRight = std::max(savedLeft, std::min(d.Left + d.Width, w));
      savedBottom = std::max(savedTop, std::min(d.Top + d.Height, h));
      saved.clear();
      for (int y = savedTop; y < savedBottom; ++y)
        saved.insert(saved.end(), canvas.begin() + static_cast<ptrdiff_t>(y) * w + savedLeft,
                     canvas.begin() + static_cast<ptrdiff_t>(y) * w + savedRight);
    }
    DrawImage(gif, i, gcb, canvas);
    result->frames.push_back({gcb.DelayTime == 0 ? 50 : gcb.DelayTime * 10, canvas});
    disposalBefore = gcb.DisposalMode;
  }
}

// Slurps and composites; ok is false when giflib rejects the file.
inline Result Decode(std::span<const uint8_t> bytes) {
  Result result;
  MemoryInput input{bytes.data(), bytes.size(), 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
  if (!gif) return result;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    Composite(gif, &result);
    result.ok = true;
  }
  DGifCloseFile(gif, &error);
  return result;
}

}  // namespace giflib_reference
