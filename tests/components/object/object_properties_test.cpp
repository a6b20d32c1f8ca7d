// The animation object's property table, clamping and stored property data.
#include "components/object/object_properties.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using namespace components;

namespace {

// Stored data built by hand: version, the 16 values, optional type and flip, text, 5 arrays.
struct Blob {
  std::vector<uint8_t> bytes;
  Blob& I32(int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  Blob& Array(std::string_view s) {
    I32(static_cast<int32_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
};

// TextColor 1, AutoGetTransColor 1, TransparentColor 0x00FF00, alpha 30, zoom 500, PlayGIF 1,
// GIFDelay 100, GIFAutoDestroy 2, TrendColor 0x0000FF, TrendDepth 40, light -20, layer 3,
// angle 90, RotateFollow 1, ExistTime 5000, CollideAllowed 1.
Blob Values(int32_t version) {
  Blob b;
  b.I32(version);
  for (int32_t v : {1, 1, 0x00FF00, 30, 500, 1, 100, 2, 0x0000FF, 40, -20, 3, 90, 1, 5000, 1}) b.I32(v);
  return b;
}

Blob Tail(Blob b) { return b.Array("hi").Array("").Array("PIC").I32(-5).Array("D").Array("C"); }

std::string_view Text(const ObjectProperties& p, int index) {
  const auto d = p.Data(index);
  return {reinterpret_cast<const char*>(d.data()), d.size()};
}

void ExpectStoredValues(const ObjectProperties& p) {
  EXPECT_EQ(p.Value(kPropTextColor), 1);
  EXPECT_EQ(p.Value(kPropAutoGetTransColor), 1);
  EXPECT_EQ(p.Value(kPropTransparentColor), 0x00FF00);
  EXPECT_EQ(p.Value(kPropAlpha), 30);
  EXPECT_EQ(p.Value(kPropZoom), 500);
  EXPECT_EQ(p.Value(kPropPlayGif), 1);
  EXPECT_EQ(p.Value(kPropGifDelay), 100);
  EXPECT_EQ(p.Value(kPropGifAutoDestroy), 2);
  EXPECT_EQ(p.Value(kPropTrendColor), 0x0000FF);
  EXPECT_EQ(p.Value(kPropTrendDepth), 40);
  EXPECT_EQ(p.Value(kPropLight), -20);
  EXPECT_EQ(p.Value(kPropLayer), 3);
  EXPECT_EQ(p.Value(kPropAngle), 90);
  EXPECT_EQ(p.Value(kPropRotateFollow), 1);
  EXPECT_EQ(p.Value(kPropExistTime), 5000);
  EXPECT_EQ(p.Value(kPropCollideAllowed), 1);
  EXPECT_EQ(Text(p, kPropText), "hi");
  EXPECT_EQ(Text(p, kPropFont), "");
  EXPECT_EQ(Text(p, kPropPicture), "PIC");
  EXPECT_EQ(Text(p, kPropCreateSound), "");
  EXPECT_EQ(Text(p, kPropDestroySound), "D");
  EXPECT_EQ(Text(p, kPropCollidedSound), "C");
}

TEST(ObjectPropertyTable, ListsEveryPropertyInOrderWithItsDefault) {
  const auto table = ObjectPropertyTable();
  ASSERT_EQ(table.size(), 24u);
  const char* names[] = {
      "text",      "font",        "TextColor",      "picture",        "AutoGetTransColor", "TransparentColor",
      "PlayGIF",   "GIFDelay",    "GIFAutoDestroy", "TrendColor",     "TrendDepth",        "light",
      "alpha",     "zoom",        "layer",          "angle",          "RotateFollow",      "TurnType",
      "ExistTime", "CreateSound", "DestroySound",   "CollideAllowed", "CollidedSound",     "type"};
  for (size_t i = 0; i < table.size(); ++i) EXPECT_STREQ(table[i].name, names[i]) << i;
  EXPECT_EQ(table[kPropTurnType].pickCount, 4);
  EXPECT_EQ(table[kPropTransparentColor].kind, PropertyKind::kColorOrDefault);

  const ObjectProperties defaults;
  EXPECT_EQ(defaults.Value(kPropTransparentColor), static_cast<int32_t>(0xFF000000));
  EXPECT_EQ(defaults.Value(kPropTrendColor), 0xFFFFFF);
  EXPECT_EQ(defaults.Value(kPropZoom), 1000);
  EXPECT_EQ(defaults.Value(kPropTextColor), 0);
  EXPECT_EQ(defaults.Value(kPropAngle), 0);
  EXPECT_TRUE(defaults.Data(kPropPicture).empty());
}

TEST(ObjectProperties, ClampValuesAsTheyAreStored) {
  ObjectProperties p;
  struct Case {
    int index;
    int32_t given, stored;
  };
  const Case cases[] = {
      {kPropAngle, 450, 360},
      {kPropAngle, -725, -360},
      {kPropAngle, -90, -90},
      {kPropAlpha, 150, 100},
      {kPropAlpha, -1, 0},
      {kPropTrendDepth, 101, 100},
      {kPropTrendDepth, INT_MIN, 0},
      {kPropZoom, -5, 0},
      {kPropZoom, 5000, 5000},
      {kPropGifDelay, -1, 0},
      {kPropExistTime, -100, 0},
      {kPropTurnType, 7, 3},
      {kPropTurnType, -1, 0},
      {kPropPlayGif, 5, 1},
      {kPropLight, -300, -300},
      {kPropGifAutoDestroy, -3, -3},
      {kPropTransparentColor, static_cast<int32_t>(0xFF000000), static_cast<int32_t>(0xFF000000)},
  };
  for (const Case& c : cases) {
    p.SetValue(c.index, c.given);
    EXPECT_EQ(p.Value(c.index), c.stored) << c.index << " given " << c.given;
  }
  p.SetValue(kPropAngle, 450);
  EXPECT_FALSE(p.SetValue(kPropAngle, 999));  // still 360: nothing changed
  EXPECT_TRUE(p.SetValue(kPropAngle, 10));
  EXPECT_FALSE(p.SetValue(kPropText, 1));  // a data property
  EXPECT_FALSE(p.SetValue(99, 1));
  EXPECT_FALSE(p.SetData(kPropZoom, {}));
}

TEST(ObjectData, ReadsEachVersionsLayout) {
  ObjectProperties p;
  // Version 1: no type, no flip.
  ASSERT_TRUE(ReadObjectData(Tail(Values(1)).bytes, &p));
  ExpectStoredValues(p);
  EXPECT_EQ(p.Value(kPropType), 0);
  EXPECT_EQ(p.Value(kPropTurnType), 0);
  // Version 2: type.
  ASSERT_TRUE(ReadObjectData(Tail(Values(2).I32(77)).bytes, &p));
  ExpectStoredValues(p);
  EXPECT_EQ(p.Value(kPropType), 77);
  EXPECT_EQ(p.Value(kPropTurnType), 0);
  // Version 3: type and flip (clamped).
  ASSERT_TRUE(ReadObjectData(Tail(Values(3).I32(-4).I32(9)).bytes, &p));
  ExpectStoredValues(p);
  EXPECT_EQ(p.Value(kPropType), -4);
  EXPECT_EQ(p.Value(kPropTurnType), 3);
  // Values are clamped on reading as on storing.
  Blob wild;
  wild.I32(1);
  for (int32_t v : {0, 7, 0, 500, -3, 0, -9, 0, 0, 300, 0, 0, 1000, 0, -1, 0}) wild.I32(v);
  ASSERT_TRUE(ReadObjectData(Tail(wild).bytes, &p));
  EXPECT_EQ(p.Value(kPropAutoGetTransColor), 1);
  EXPECT_EQ(p.Value(kPropAlpha), 100);
  EXPECT_EQ(p.Value(kPropZoom), 0);
  EXPECT_EQ(p.Value(kPropGifDelay), 0);
  EXPECT_EQ(p.Value(kPropTrendDepth), 100);
  EXPECT_EQ(p.Value(kPropAngle), 360);
  EXPECT_EQ(p.Value(kPropExistTime), 0);
}

TEST(ObjectData, EmptyDataGivesDefaultsAndNewerVersionsAreRejected) {
  ObjectProperties p;
  p.SetValue(kPropZoom, 5);
  EXPECT_TRUE(ReadObjectData({}, &p));
  EXPECT_EQ(p, ObjectProperties());
  p.SetValue(kPropZoom, 5);
  EXPECT_FALSE(ReadObjectData(Tail(Values(4).I32(1).I32(1)).bytes, &p));
  EXPECT_EQ(p, ObjectProperties());
}

TEST(ObjectData, WritesVersionThreeAndReadsItBack) {
  ObjectProperties p;
  ASSERT_TRUE(ReadObjectData(Tail(Values(3).I32(12).I32(2)).bytes, &p));
  p.SetData(kPropFont, std::vector<uint8_t>(60, 0xAB));
  const std::vector<uint8_t> written = WriteObjectData(p);
  // Hand-built bytes of the same properties: every array written with its own length.
  Blob expected = Values(3).I32(12).I32(2);
  expected.Array("hi").Array(std::string(60, '\xAB')).Array("PIC").Array("").Array("D").Array("C");
  EXPECT_EQ(written, expected.bytes);
  ObjectProperties back;
  ASSERT_TRUE(ReadObjectData(written, &back));
  EXPECT_EQ(back, p);
  // The defaults round-trip too: 4 + 18 values + 6 empty arrays.
  EXPECT_EQ(WriteObjectData(ObjectProperties()).size(), 4u + 18 * 4 + 6 * 4);
  ASSERT_TRUE(ReadObjectData(WriteObjectData(ObjectProperties()), &back));
  EXPECT_EQ(back, ObjectProperties());
}

TEST(ObjectData, TruncatedDataIsRejectedWhereverItEnds) {
  const std::vector<uint8_t> whole = Tail(Values(3).I32(12).I32(2)).bytes;
  for (size_t n = 1; n < whole.size(); ++n) {
    ObjectProperties p;
    p.SetValue(kPropLayer, 42);
    EXPECT_FALSE(ReadObjectData(std::span(whole).first(n), &p)) << n;
    EXPECT_EQ(p, ObjectProperties()) << n;
  }
  // A length that claims more than there is.
  ObjectProperties p;
  EXPECT_FALSE(ReadObjectData(Values(3).I32(0).I32(0).I32(INT_MAX).bytes, &p));
  EXPECT_FALSE(ReadObjectData(Values(3).I32(0).I32(0).I32(0).I32(0).I32(0x7FFFFFF0).bytes, &p));
}

}  // namespace
