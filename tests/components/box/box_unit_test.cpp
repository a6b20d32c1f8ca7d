// The animation box's unit rules: what a property change sets off, and the brush tables.
#include "components/box/box_unit.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace components;
using runtime::PropertyValue;

namespace {

TEST(BoxUnit, ChangesRemakeOnlyWhatTheyTouch) {
  BoxProperties p;
  EXPECT_EQ(ChangeBoxProperty(p, kBoxPenStyle, {.number = 1}), BoxChange::kStored) << "unchanged pen";
  EXPECT_EQ(ChangeBoxProperty(p, kBoxPenWidth, {.number = 70000}), BoxChange::kPen);
  EXPECT_EQ(p.penWidth, 32767);
  EXPECT_EQ(ChangeBoxProperty(p, kBoxBrushStyle, {.number = 99}), BoxChange::kBrush);
  EXPECT_EQ(ChangeBoxProperty(p, kBoxBrushStyle, {.number = 55}), BoxChange::kStored) << "clamped alike";
  EXPECT_EQ(ChangeBoxProperty(p, kBoxBackColor, {.number = 0xFF}), BoxChange::kBackground);
  EXPECT_EQ(ChangeBoxProperty(p, kBoxDrawRop2, {.number = 3}), BoxChange::kStored);
  EXPECT_FALSE(BoxPropertyEnabled(p, kBoxPicDrawMode));
  EXPECT_EQ(ChangeBoxProperty(p, kBoxPicture, {.bytes = {1, 2}}), BoxChange::kBackground);
  EXPECT_TRUE(BoxPropertyEnabled(p, kBoxPicDrawMode));
  EXPECT_EQ(GetBoxProperty(p, kBoxPicture).bytes, (runtime::Bytes{1, 2}));
  EXPECT_EQ(GetBoxProperty(p, kBoxDrawRop2).number, 3);
  EXPECT_EQ(ChangeBoxProperty(p, kBoxFont, {}), BoxChange::kFont);
  EXPECT_EQ(BoxUnitPropertyTable().size(), size_t{kBoxPropertyCount});
  EXPECT_EQ(BoxEventTable().size(), size_t{18});
}

TEST(BoxUnit, PenStylesHatchesAndFortyEightDistinctPatterns) {
  EXPECT_EQ(PenStyleValue(0), 8);
  EXPECT_EQ(PenWidthFor(0, 5), 0);
  EXPECT_EQ(PenStyleValue(5), 4);
  EXPECT_EQ(PenStyleValue(6), 6);
  EXPECT_EQ(HatchStyleOf(2), 3);
  EXPECT_EQ(HatchStyleOf(7), 1);
  EXPECT_EQ(HatchStyleOf(8), -1);
  EXPECT_EQ(PatternOf(7), nullptr);
  EXPECT_EQ(PatternOf(56), nullptr);
  ASSERT_EQ(BrushStyleNames().size(), size_t{56});
  EXPECT_EQ(std::string(BrushStyleNames()[8]), " 5%色点");
  EXPECT_EQ(std::string(BrushStyleNames()[55]), "实心菱形");
  std::set<BrushPattern> seen;
  std::set<std::string> names;
  for (int32_t style = 8; style <= 55; ++style) {
    seen.insert(*PatternOf(style));
    names.insert(BrushStyleNames()[style]);
  }
  EXPECT_EQ(seen.size(), size_t{48});
  EXPECT_EQ(names.size(), size_t{48});
  // The twelve dot patterns grow darker in order.
  int previous = 0;
  for (int32_t style = 8; style < 20; ++style) {
    int ink = 0;
    for (uint8_t row : *PatternOf(style)) ink += __builtin_popcount(row);
    EXPECT_GT(ink, previous) << BrushStyleNames()[style];
    previous = ink;
  }
}

}  // namespace
