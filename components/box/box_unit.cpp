// The animation box's unit rules that need no window.
#include "components/box/box_unit.h"

namespace components {
namespace {

using runtime::PropertyInfo;
using runtime::PropertyValue;

constexpr const char* kBorders[] = {"无边框", "凹入式",     "凸出式", "浅凹入式",
                                    "镜框式", "单线边框式", nullptr};
constexpr const char* kPictureModes[] = {"图片居左上", "缩放图片", "图片居中", "图片平铺", nullptr};
constexpr const char* kPenStyles[] = {"空笔",   "直线",     "划线",   "点线",
                                      "点划线", "双点划线", "内直线", nullptr};
constexpr const char* kRasterOperations[] = {"黑色",   "非或笔", "与非笔", "非复制笔", "与笔非", "反转",
                                             "异或笔", "非与笔", "与笔",   "非异或笔", "无操作", "或非笔",
                                             "复制笔", "或笔非", "或笔",   "白色",     nullptr};

// The pick list of `BrushStyle`: hollow, solid, the six hatches, the 48 patterns; null-ended.
constexpr const char* kBrushStyles[] = {
    "空刷子",       "颜色刷子",     "右斜线",       "直交叉线",   "斜交叉线",   "左斜线",     "横线",
    "竖线",         " 5%色点",      "10%色点",      "20%色点",    "25%色点",    "30%色点",    "40%色点",
    "50%色点",      "60%色点",      "70%色点",      "75%色点",    "80%色点",    "90%色点",    "浅色上对角线",
    "浅色下对角线", "深色上对角线", "深色下对角线", "宽上对角线", "宽下对角线", "浅色竖线",   "浅色横线",
    "窄竖线",       "窄横线",       "深色竖线",     "深色横线",   "上对角虚线", "下对角虚线", "横虚线",
    "竖虚线",       "小纸屑",       "大纸屑",       "之字形",     "波浪线",     "对角砖形",   "横向砖形",
    "编织物",       "苏格兰方格",   "草皮",         "点式菱形",   "瓦形",       "棚架",       "球体",
    "小网格",       "大网格",       "小棋盘",       "大棋盘",     "轮廓式菱形", "点式网格",   "实心菱形",
    nullptr};
static_assert(std::size(kBrushStyles) == kFirstPatternBrush + kPatternBrushCount + 1);

// In the order of the names above, from " 5%色点".
constexpr BrushPattern kPatterns[kPatternBrushCount] = {
    {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00},  // 5%
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00},  // 10%
    {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},  // 20%
    {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22},  // 25%
    {0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA, 0x11},  // 30%
    {0xAA, 0x55, 0xAA, 0x44, 0xAA, 0x55, 0xAA, 0x11},  // 40%
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},  // 50%
    {0x55, 0xAA, 0x55, 0xBB, 0x55, 0xAA, 0x55, 0xEE},  // 60%
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE},  // 70%
    {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},  // 75%
    {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF},  // 80%
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},  // 90%
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88},  // light upward diagonal
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},  // light downward diagonal
    {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99},  // dark upward diagonal
    {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99},  // dark downward diagonal
    {0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1},  // wide upward diagonal
    {0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83},  // wide downward diagonal
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // light vertical
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // light horizontal
    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA},  // narrow vertical
    {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00},  // narrow horizontal
    {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},  // dark vertical
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00},  // dark horizontal
    {0x00, 0x00, 0x11, 0x22, 0x44, 0x88, 0x00, 0x00},  // dashed upward diagonal
    {0x00, 0x00, 0x88, 0x44, 0x22, 0x11, 0x00, 0x00},  // dashed downward diagonal
    {0xF0, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00},  // dashed horizontal
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08},  // dashed vertical
    {0x80, 0x04, 0x40, 0x08, 0x01, 0x20, 0x02, 0x10},  // small confetti
    {0xB0, 0x30, 0x03, 0x1B, 0xD8, 0xC0, 0x0C, 0x0D},  // large confetti
    {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18},  // zigzag
    {0x00, 0x18, 0x25, 0xC2, 0x00, 0x18, 0x25, 0xC2},  // wave
    {0x80, 0x40, 0x20, 0x10, 0x18, 0x24, 0x42, 0x81},  // diagonal brick
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // horizontal brick
    {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51},  // weave
    {0xAA, 0x55, 0xAA, 0x55, 0xF0, 0xF0, 0xF0, 0xF0},  // plaid
    {0x00, 0x10, 0x28, 0x44, 0x00, 0x01, 0x82, 0x00},  // divot
    {0x80, 0x00, 0x22, 0x00, 0x08, 0x00, 0x22, 0x00},  // dotted diamond
    {0x03, 0x84, 0x48, 0x30, 0x0C, 0x02, 0x01, 0x01},  // shingle
    {0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99},  // trellis
    {0x77, 0x89, 0x8F, 0x8F, 0x77, 0x98, 0xF8, 0xF8},  // sphere
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // small grid
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // large grid
    {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33},  // small checker board
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F},  // large checker board
    {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x01},  // outlined diamond
    {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00},  // dotted grid
    {0x10, 0x38, 0x7C, 0xFE, 0x7C, 0x38, 0x10, 0x00},  // solid diamond
};

PropertyInfo Info(const char* name, const char* englishName, uint16_t kind,
                  const char* const* choices = nullptr, const char* explanation = nullptr) {
  return {
      .name = name, .englishName = englishName, .explanation = explanation, .kind = kind, .choices = choices};
}

bool IsData(int k) { return k == kBoxPicture || k == kBoxFont; }

std::vector<uint8_t>& DataOf(BoxProperties& p, int k) { return k == kBoxPicture ? p.picture : p.font; }

}  // namespace

std::span<const runtime::PropertyInfo> BoxUnitPropertyTable() {
  using namespace runtime;
  static const std::array<PropertyInfo, kBoxPropertyCount> table = {
      Info("边框", "border", kKindChoice, kBorders),
      Info("背景颜色", "BackColor", kKindBackgroundColour),
      Info("背景图片", "pic", kKindPicture, nullptr, "本属性指定显示在动画框上的背景图片"),
      Info("显示方式", "PicDrawMode", kKindChoice, kPictureModes),
      Info("画笔类型", "PenStyle", kKindChoice, kPenStyles),
      Info("画出方式", "DrawRop2", kKindChoice, kRasterOperations),
      Info("画笔粗细", "PenWidth", kKindInteger),
      Info("画笔颜色", "PenColor", kKindColour),
      Info("刷子类型", "BrushStyle", kKindChoice, kBrushStyles),
      Info("刷子颜色", "BrushColor", kKindColour),
      Info("文本颜色", "TextColor", kKindColour),
      Info("文本背景颜色", "TextBackColor", kKindColourOrTransparent, nullptr,
           "各种格式刷子将使用当前文本背景颜色作为刷子背景颜色"),
      Info("字体", "font", kKindFont),
  };
  return table;
}

std::span<const runtime::EventInfo> BoxEventTable() {
  static const runtime::EventInfo table[] = {
      {"物体左键被按下", nullptr, 1}, {"物体右键被按下", nullptr, 1},     {"物体左键被放开", nullptr, 2},
      {"物体右键被放开", nullptr, 1}, {"双击物体", nullptr, 1},           {"进入物体", nullptr, 2},
      {"离开物体", nullptr, 2},       {"动画框鼠标位置改变", nullptr, 3}, {"物体位置将改变", nullptr, 3},
      {"物体位置已改变", nullptr, 3}, {"物体将销毁", nullptr, 1},         {"碰撞到物体", nullptr, 4},
      {"碰撞到边界", nullptr, 4},     {"越出边界", nullptr, 1},           {"自动前进停止", nullptr, 1},
      {"自动旋转停止", nullptr, 1},   {"动画播放完毕", nullptr, 1},       {"监视键被按下", nullptr, 2},
  };
  return table;
}

bool BoxPropertyEnabled(const BoxProperties& p, int k) { return k != kBoxPicDrawMode || !p.picture.empty(); }

BoxChange ChangeBoxProperty(BoxProperties& p, int k, const PropertyValue& value) {
  if (k < 0 || k >= kBoxPropertyCount) return BoxChange::kStored;
  if (IsData(k)) {
    DataOf(p, k).assign(value.bytes.begin(), value.bytes.end());
    return k == kBoxPicture ? BoxChange::kBackground : BoxChange::kFont;
  }
  const bool changed = p.SetValue(k, static_cast<int32_t>(value.number));
  switch (k) {
    case kBoxBorder:
      return BoxChange::kBorder;
    case kBoxBackColor:
    case kBoxPicDrawMode:
      return BoxChange::kBackground;
    case kBoxPenStyle:
    case kBoxPenWidth:
    case kBoxPenColor:
      return changed ? BoxChange::kPen : BoxChange::kStored;
    case kBoxBrushStyle:
    case kBoxBrushColor:
      return changed ? BoxChange::kBrush : BoxChange::kStored;
    default:
      return BoxChange::kStored;
  }
}

PropertyValue GetBoxProperty(const BoxProperties& p, int k) {
  if (k < 0 || k >= kBoxPropertyCount) return {};
  if (IsData(k)) {
    const std::vector<uint8_t>& bytes = k == kBoxPicture ? p.picture : p.font;
    return PropertyValue{.bytes = runtime::Bytes(bytes.begin(), bytes.end())};
  }
  return PropertyValue{.number = p.Value(k)};
}

int32_t PenStyleValue(int32_t penStyle) {
  switch (penStyle) {
    case 0:
      return 8;
    case 6:
      return 6;  // inside frame
    default:
      return penStyle - 1;  // solid, dash, dot, dash-dot, dash-dot-dot
  }
}

int32_t PenWidthFor(int32_t penStyle, int32_t penWidth) { return penStyle == 0 ? 0 : penWidth; }

int32_t HatchStyleOf(int32_t brushStyle) {
  // backward diagonal, cross, diagonal cross, forward diagonal, horizontal, vertical
  constexpr int32_t kHatches[] = {3, 4, 5, 2, 0, 1};
  return brushStyle >= 2 && brushStyle <= 7 ? kHatches[brushStyle - 2] : -1;
}

const BrushPattern* PatternOf(int32_t brushStyle) {
  const int32_t i = brushStyle - kFirstPatternBrush;
  return i >= 0 && i < kPatternBrushCount ? &kPatterns[i] : nullptr;
}

std::span<const char* const> BrushStyleNames() {
  return std::span<const char* const>(kBrushStyles, std::size(kBrushStyles) - 1);
}

}  // namespace components
