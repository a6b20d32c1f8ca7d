// The bare LZW decoder, fed hand-packed codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "components/image/lzw_decoder.h"
#include "gif_writer.h"

using namespace components;

namespace {

// Packs (code, width) pairs LSB first.
std::vector<uint8_t> Pack(std::initializer_list<std::pair<uint32_t, int>> codes) {
  gif_writer::BitWriter writer;
  for (auto [code, bits] : codes) writer.Put(code, bits);
  return writer.Finish();
}

TEST(Lzw, DecodesLiteralsTableEntriesAndACodeDefinedByItself) {
  // Minimum size 2: clear 4, end 5, first entry 6, codes of 3 bits until entry 7 is made.
  // 1 -> "1"; 6 (not yet defined: previous + its first byte) -> "11"; 2 -> "2", making 7 = "112"
  // and widening codes to 4 bits; 7 -> "112"; end.
  const auto data = Pack({{4, 3}, {1, 3}, {6, 3}, {2, 3}, {7, 4}, {5, 4}});
  std::vector<uint8_t> out(16, 0xEE);
  const LzwResult r = DecodeLzw(2, data, out);
  EXPECT_EQ(r.status, LzwStatus::kEndCode);
  ASSERT_EQ(r.written, 7u);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 7), (std::vector<uint8_t>{1, 1, 1, 2, 1, 1, 2}));
  EXPECT_EQ(out[7], 0xEE);
}

TEST(Lzw, StopsWhenTheOutputIsFullEvenInsideAString) {
  const auto data = Pack({{4, 3}, {1, 3}, {6, 3}, {2, 3}, {5, 4}});
  std::vector<uint8_t> out(2);
  const LzwResult r = DecodeLzw(2, data, out);
  EXPECT_EQ(r.status, LzwStatus::kFilled);
  EXPECT_EQ(r.written, 2u);
  EXPECT_EQ(out, (std::vector<uint8_t>{1, 1}));
}

TEST(Lzw, RejectsCodesBeyondTheTableAndBadCodeSizes) {
  std::vector<uint8_t> out(8);
  LzwResult r = DecodeLzw(2, Pack({{4, 3}, {1, 3}, {7, 3}}), out);  // 7 > next entry 6
  EXPECT_EQ(r.status, LzwStatus::kBadCode);
  EXPECT_EQ(r.written, 1u);
  r = DecodeLzw(2, Pack({{4, 3}, {6, 3}}), out);  // an entry code with no previous string
  EXPECT_EQ(r.status, LzwStatus::kBadCode);
  EXPECT_EQ(r.written, 0u);
  EXPECT_EQ(DecodeLzw(0, Pack({{1, 1}}), out).status, LzwStatus::kBadCodeSize);
  EXPECT_EQ(DecodeLzw(9, Pack({{1, 10}}), out).status, LzwStatus::kBadCodeSize);
}

TEST(Lzw, ReportsDataThatEndsEarly) {
  std::vector<uint8_t> out(8);
  // Exactly 16 bits: 1, 2, 1 (making entry 7 and widening), 2 at 4 bits; then nothing.
  const LzwResult r = DecodeLzw(2, Pack({{4, 3}, {1, 3}, {2, 3}, {1, 3}, {2, 4}}), out);
  EXPECT_EQ(r.status, LzwStatus::kDataEnded);
  EXPECT_EQ(r.written, 4u);
  EXPECT_EQ(DecodeLzw(2, {}, out).status, LzwStatus::kDataEnded);
}

TEST(Lzw, AClearCodeResetsTheTableAndCodeWidth) {
  // After clear, 6 is undefined again: 1, clear, 1, 6 ("11").
  const auto data = Pack({{4, 3}, {1, 3}, {4, 3}, {1, 3}, {6, 3}, {5, 3}});
  std::vector<uint8_t> out(8);
  const LzwResult r = DecodeLzw(2, data, out);
  EXPECT_EQ(r.status, LzwStatus::kEndCode);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + r.written), (std::vector<uint8_t>{1, 1, 1, 1}));
}

TEST(Lzw, MinimumCodeSizeOneWorks) {
  // clear 2, end 3, first entry 4, which needs 3 bits: codes widen right after the first.
  // 1, 0 (making 4 = "10"), 4, end.
  const auto data = Pack({{2, 2}, {1, 2}, {0, 3}, {4, 3}, {3, 3}});
  std::vector<uint8_t> out(8);
  const LzwResult r = DecodeLzw(1, data, out);
  EXPECT_EQ(r.status, LzwStatus::kEndCode);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + r.written), (std::vector<uint8_t>{1, 0, 1, 0}));
}

// Noise fills the 4096-entry table quickly; both ways of going on after that must decode.
TEST(Lzw, FullTableWithAndWithoutDeferredClear) {
  std::mt19937 random(7);
  std::vector<uint8_t> pixels(60000);
  for (auto& p : pixels) p = static_cast<uint8_t>(random() % 200);
  for (bool deferred : {false, true}) {
    const auto data = gif_writer::Lzw(8, pixels, deferred);
    std::vector<uint8_t> out(pixels.size());
    const LzwResult r = DecodeLzw(8, data, out);
    EXPECT_EQ(r.status, LzwStatus::kFilled) << deferred;
    EXPECT_EQ(out, pixels) << deferred;
    std::vector<uint8_t> scribbled(pixels.size());
    EXPECT_EQ(DecodeLzwScribbling(8, data, scribbled).status, LzwStatus::kFilled) << deferred;
    EXPECT_EQ(scribbled, pixels) << deferred;
  }
  // A run compresses into long strings; the copies must still be exact.
  std::vector<uint8_t> run(100000, 3);
  for (size_t i = 0; i < run.size(); i += 997) run[i] = 1;
  std::vector<uint8_t> out(run.size());
  EXPECT_EQ(DecodeLzw(2, gif_writer::Lzw(2, run, true), out).status, LzwStatus::kFilled);
  EXPECT_EQ(out, run);
  std::fill(out.begin(), out.end(), 0);
  EXPECT_EQ(DecodeLzwScribbling(2, gif_writer::Lzw(2, run, true), out).status, LzwStatus::kFilled);
  EXPECT_EQ(out, run);
}

}  // namespace
