// Picture loading dispatch: signatures, the platform's picture service, transparent colours.
#include "components/image/picture.h"

#include <gtest/gtest.h>

#include "gif_writer.h"
#include "png_writer.h"

using namespace components;

namespace {

// A picture service that records what it was given and answers with a 2 x 1 picture.
class RecordingService final : public PictureService {
 public:
  FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) override {
    calls.emplace_back(bytes.begin(), bytes.end());
    if (!answer) return {};
    FrameSet set;
    set.width = 2;
    set.height = 1;
    set.frames.push_back({kNoColor, 0, {0x00112233, 0x00445566}});
    return set;
  }
  std::vector<std::vector<uint8_t>> calls;
  bool answer = true;
};

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(LoadPicture, GoesToOurDecodersByTheirSignaturesAndOtherwiseToTheService) {
  RecordingService service;
  EXPECT_TRUE(LoadPicture({}, kNoColor, false, &service).Empty());
  EXPECT_TRUE(LoadPicture(Bytes("GIF89a"), kNoColor, false, &service).Empty());  // a GIF that fails
  EXPECT_TRUE(LoadPicture(Bytes("GIF87a"), kNoColor, false, &service).Empty());
  EXPECT_TRUE(LoadPicture(Bytes("\x89PNG\r\n\x1A\n"), kNoColor, false, &service).Empty());
  EXPECT_TRUE(service.calls.empty());

  const FrameSet other = LoadPicture(Bytes("BM not ours"), kNoColor, false, &service);
  ASSERT_EQ(service.calls.size(), 1u);
  EXPECT_EQ(service.calls[0], Bytes("BM not ours"));
  EXPECT_EQ(other.width, 2);
  LoadPicture(Bytes("GIF88a..."), kNoColor, false, &service);  // not a GIF signature
  LoadPicture(Bytes("GIF8"), kNoColor, false, &service);
  EXPECT_EQ(service.calls.size(), 3u);
  EXPECT_TRUE(LoadPicture(Bytes("BM"), kNoColor, false, nullptr).Empty());
  service.answer = false;
  EXPECT_TRUE(LoadPicture(Bytes("BM"), kNoColor, false, &service).Empty());

  png_writer::Picture png;
  png.width = png.height = 1;
  png.rows = {1, 2, 3};
  EXPECT_EQ(LoadPicture(png_writer::Encode(png), kNoColor, false, &service).frames[0].pixels[0], 0x00010203u);
  EXPECT_EQ(LoadPicture(gif_writer::Encode(1, 1, {0x445566, 0}, {gif_writer::Solid(0, 0, 1, 1, 0)}), kNoColor,
                        false, &service)
                .frames[0]
                .pixels[0],
            0x00445566u);
  EXPECT_EQ(service.calls.size(), 4u);
}

TEST(LoadPicture, TransparentColourIsTheGivenOneOrEachFramesTopLeftPixel) {
  RecordingService service;
  EXPECT_EQ(LoadPicture(Bytes("BM"), 0x00ABCDEF, false, &service).frames[0].transparentColor, 0x00ABCDEFu);
  EXPECT_EQ(LoadPicture(Bytes("BM"), kNoColor, false, &service).frames[0].transparentColor, kNoColor);
  // Automatic: the pixel 0x00112233 (red 0x11, green 0x22, blue 0x33) is COLORREF 0x00332211.
  EXPECT_EQ(LoadPicture(Bytes("BM"), 0x00ABCDEF, true, &service).frames[0].transparentColor, 0x00332211u);

  // Each GIF frame takes its own top-left pixel: transparent white first (the empty canvas),
  // then red.
  const auto gif = gif_writer::Encode(2, 1, {0xFF0000, 0x00FF00},
                                      {gif_writer::Solid(1, 0, 1, 1, 1), gif_writer::Solid(0, 0, 1, 1, 0)});
  const FrameSet set = LoadPicture(gif, kNoColor, true, &service);
  ASSERT_EQ(set.frames.size(), 2u);
  EXPECT_EQ(set.frames[0].transparentColor, 0x00FFFFFFu);
  EXPECT_EQ(set.frames[1].transparentColor, 0x000000FFu);
}

}  // namespace
