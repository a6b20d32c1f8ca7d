// The transparent label's portable rules: property values and clamping, the drawing font,
// effect passes, truncated stored data and the design environment's text conversion.
#include "components/label/label.h"

#include <gtest/gtest.h>

using namespace components;
using runtime::Bytes;
using runtime::PropertyValue;

namespace {

PropertyValue Number(int64_t n) { return PropertyValue{.number = n}; }
PropertyValue Text(std::string_view s) { return PropertyValue{.bytes = Bytes(s.begin(), s.end())}; }

Bytes FontBytes(std::string_view face, uint8_t charSet) {
  runtime::FontRecord font{.height = -16,
                           .weight = 700,
                           .charSet = charSet,
                           .outPrecision = 3,
                           .clipPrecision = 2,
                           .quality = 1,
                           .pitchAndFamily = 0x22};
  font.SetFaceName(face);
  return runtime::WriteFontRecord(font);
}

std::string Upper(std::string_view text, void*) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out + "!";
}

TEST(Label, PropertiesStoreWithClampingAndReadBack) {
  LabelProperties p;
  EXPECT_TRUE(SetLabelProperty(p, LabelK(kLabelTextEffect), Number(7)));
  EXPECT_EQ(GetLabelProperty(p, LabelK(kLabelTextEffect)).number, 3);
  SetLabelProperty(p, LabelK(kLabelTextEffect), Number(-1));
  EXPECT_EQ(p.textEffect, 0);
  SetLabelProperty(p, LabelK(kLabelHorizontalAlign), Number(9));
  SetLabelProperty(p, LabelK(kLabelVerticalAlign), Number(-4));
  EXPECT_EQ(p.horizontalAlign, 2);
  EXPECT_EQ(p.verticalAlign, 0);
  SetLabelProperty(p, LabelK(kLabelWordWrap), Number(5));
  EXPECT_EQ(GetLabelProperty(p, LabelK(kLabelWordWrap)).number, 1);
  SetLabelProperty(p, LabelK(kLabelCaption), Text(""));
  EXPECT_EQ(p.caption, "");
  SetLabelProperty(p, LabelK(kLabelTextColour), Number(0x123456));
  EXPECT_EQ(GetLabelProperty(p, LabelK(kLabelTextColour)).number, 0x123456);
  SetLabelProperty(p, LabelK(kLabelFont), Text("abc"));
  EXPECT_EQ(GetLabelProperty(p, LabelK(kLabelFont)).bytes.size(), 3u);
  EXPECT_FALSE(SetLabelProperty(p, kLabelPropertyCount, Number(1)));
  EXPECT_EQ(GetLabelProperty(p, -1), PropertyValue{});
  ASSERT_EQ(LabelPropertyTable().size(), size_t{kLabelPropertyCount});
  EXPECT_EQ(LabelPropertyTable()[LabelK(kLabelFont)].kind, runtime::kKindFont);
}

TEST(Label, FontForcesDefaultCharSetAndProofQualityAndNeedsSixtyBytes) {
  const std::optional<runtime::FontRecord> font = LabelFont(FontBytes("宋体", 134));
  ASSERT_TRUE(font);
  EXPECT_EQ(font->charSet, 1);
  EXPECT_EQ(font->quality, 2);
  EXPECT_EQ(font->outPrecision | font->clipPrecision | font->pitchAndFamily, 0);
  EXPECT_EQ(font->height, -16);
  EXPECT_EQ(font->weight, 700);
  EXPECT_EQ(font->FaceName(), "宋体");
  Bytes short59 = FontBytes("Arial", 0);
  short59.pop_back();
  EXPECT_FALSE(LabelFont(short59));
  EXPECT_FALSE(LabelFont({}));
}

TEST(Label, EffectPassesDrawTheReliefFirstAtItsOffset) {
  const TextPasses none = EffectPasses(kEffectNone, 0x0000FF);
  ASSERT_EQ(none.count, 1);
  EXPECT_EQ(none.pass[0], (TextPass{0x0000FF, 0, 0}));
  const TextPasses engraved = EffectPasses(kEffectEngraved, 0x0000FF);
  ASSERT_EQ(engraved.count, 2);
  EXPECT_EQ(engraved.pass[0], (TextPass{0xFFFFFF, 1, 1}));
  EXPECT_EQ(engraved.pass[1], (TextPass{0x0000FF, 0, 0}));
  const TextPasses embossed = EffectPasses(kEffectEmbossed, 0x0000FF);
  EXPECT_EQ(embossed.pass[0], (TextPass{0xFFFFFF, 0, 0}));
  EXPECT_EQ(embossed.pass[1], (TextPass{0x0000FF, 1, 1}));
  const TextPasses shadow = EffectPasses(9, 0x0000FF);  // clamped to shadow
  EXPECT_EQ(shadow.pass[0], (TextPass{0x000000, 2, 2}));
  EXPECT_EQ(shadow.pass[1], (TextPass{0x0000FF, 0, 0}));
}

TEST(Label, StoredDataWhoseLengthsRunPastTheEndIsRejectedWhole) {
  LabelProperties p{.textEffect = 2, .textColour = 0xFF, .font = FontBytes("Arial", 0), .caption = "hello"};
  const Bytes good = WriteTransLabelBlock(p);
  ASSERT_TRUE(ReadTransLabelBlock(good).Ok());
  for (size_t cut = 1; cut < good.size(); ++cut) {
    const ClassBlockRead<LabelProperties> read = ReadTransLabelBlock(std::span(good.data(), cut));
    EXPECT_FALSE(read.Ok()) << cut;
    EXPECT_EQ(read.properties, LabelProperties{}) << cut;
  }
  Bytes huge = WriteTransLabelBlock(LabelProperties{});
  huge[huge.size() - 12] = 0xFF;  // the caption's length, now far beyond the data
  EXPECT_FALSE(ReadTransLabelBlock(huge).Ok());
}

TEST(Label, TextConversionConvertsCaptionAndFaceNameAndRewritesTheData) {
  const runtime::TextConversion upper{Upper, nullptr};
  LabelProperties p{.textEffect = 1, .font = FontBytes("arial", 0), .caption = "caption"};
  LabelProperties converted =
      ReadTransLabelBlock(ConvertLabelText(WriteTransLabelBlock(p), upper)).properties;
  EXPECT_EQ(converted.caption, "CAPTION!");
  EXPECT_EQ(runtime::ReadFontRecord(converted.font)->FaceName(), "ARIAL!");
  EXPECT_EQ(converted.textEffect, 1);
  // Without a 60-byte font only the caption is converted; unreadable data comes back as it was.
  p.font = {1, 2, 3};
  converted = ReadTransLabelBlock(ConvertLabelText(WriteTransLabelBlock(p), upper)).properties;
  EXPECT_EQ(converted.font, (Bytes{1, 2, 3}));
  const Bytes newer = {2, 0, 0, 0, 9, 9};
  EXPECT_EQ(ConvertLabelText(newer, upper), newer);
}

}  // namespace
