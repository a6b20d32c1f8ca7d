// The animation object's property table and stored property data.
#include "components/object/object_properties.h"

#include <algorithm>
#include <array>

#include "components/object/stored_fields.h"

namespace components {
namespace {

constexpr int32_t kStoredVersion = 3;

const char* const kTurnTypes[] = {"不翻转", "左右翻转", "上下翻转", "上下左右翻转"};

const PropertyInfo kTable[kObjectPropertyCount] = {
    {"text", "文字", PropertyKind::kText, 0},
    {"font", "字体", PropertyKind::kFont, 0},
    {"TextColor", "文本颜色", PropertyKind::kColor, 0},
    {"picture", "图片", PropertyKind::kPicture, 0},
    {"AutoGetTransColor", "自动取透明色", PropertyKind::kLogical, 0},
    {"TransparentColor", "透明色", PropertyKind::kColorOrDefault, static_cast<int32_t>(0xFF000000)},
    {"PlayGIF", "播放动画", PropertyKind::kLogical, 0},
    {"GIFDelay", "动画间隔时间", PropertyKind::kInteger, 0},
    {"GIFAutoDestroy", "动画自动销毁", PropertyKind::kInteger, 0},
    {"TrendColor", "趋向色", PropertyKind::kColor, 0xFFFFFF},
    {"TrendDepth", "趋向程度", PropertyKind::kInteger, 0},
    {"light", "亮度", PropertyKind::kInteger, 0},
    {"alpha", "透明度", PropertyKind::kInteger, 0},
    {"zoom", "缩放比", PropertyKind::kInteger, 1000},
    {"layer", "层次", PropertyKind::kInteger, 0},
    {"angle", "角度", PropertyKind::kInteger, 0},
    {"RotateFollow", "旋转跟随", PropertyKind::kLogical, 0},
    {"TurnType", "翻转", PropertyKind::kPick, 0, kTurnTypes, 4},
    {"ExistTime", "生存时间", PropertyKind::kInteger, 0},
    {"CreateSound", "创建声音", PropertyKind::kSound, 0},
    {"DestroySound", "销毁声音", PropertyKind::kSound, 0},
    {"CollideAllowed", "允许碰撞", PropertyKind::kLogical, 0},
    {"CollidedSound", "碰撞声音", PropertyKind::kSound, 0},
    {"type", "类型值", PropertyKind::kInteger, 0},
};

// The 32-bit values every version stores, in stored order.
constexpr int kStoredValues[] = {
    kPropTextColor,
    kPropAutoGetTransColor,
    kPropTransparentColor,
    kPropAlpha,
    kPropZoom,
    kPropPlayGif,
    kPropGifDelay,
    kPropGifAutoDestroy,
    kPropTrendColor,
    kPropTrendDepth,
    kPropLight,
    kPropLayer,
    kPropAngle,
    kPropRotateFollow,
    kPropExistTime,
    kPropCollideAllowed,
};
// The byte arrays after the text, in stored order.
constexpr int kStoredArrays[] = {kPropFont, kPropPicture, kPropCreateSound, kPropDestroySound,
                                 kPropCollidedSound};

bool ValidIndex(int index) { return index >= 0 && index < kObjectPropertyCount; }

bool ReadFields(ByteReader& in, ObjectProperties* out) {
  int32_t version;
  if (!in.I32(&version) || version > kStoredVersion) return false;
  for (int index : kStoredValues) {
    int32_t value;
    if (!in.I32(&value)) return false;
    out->SetValue(index, value);
  }
  int32_t value;
  if (version >= 2) {
    if (!in.I32(&value)) return false;
    out->SetValue(kPropType, value);
  }
  if (version == 3) {
    if (!in.I32(&value)) return false;
    out->SetValue(kPropTurnType, value);
  }
  std::vector<uint8_t> bytes;
  if (!ReadStoredArray(in, &bytes)) return false;
  out->SetData(kPropText, bytes);
  for (int index : kStoredArrays) {
    if (!ReadStoredArray(in, &bytes)) return false;
    out->SetData(index, bytes);
  }
  return true;
}

}  // namespace

std::span<const PropertyInfo> ObjectPropertyTable() { return kTable; }

bool IsDataProperty(int index) {
  if (!ValidIndex(index)) return false;
  switch (kTable[index].kind) {
    case PropertyKind::kText:
    case PropertyKind::kFont:
    case PropertyKind::kPicture:
    case PropertyKind::kSound:
      return true;
    default:
      return false;
  }
}

int32_t ClampObjectValue(int index, int32_t value) {
  switch (index) {
    case kPropGifDelay:
    case kPropZoom:
    case kPropExistTime:
      return std::max(value, 0);
    case kPropTrendDepth:
    case kPropAlpha:
      return std::clamp(value, 0, 100);
    case kPropAngle:
      return std::clamp(value, -360, 360);
    case kPropTurnType:
      return std::clamp(value, 0, 3);
    default:
      break;
  }
  if (ValidIndex(index) && kTable[index].kind == PropertyKind::kLogical) return value != 0 ? 1 : 0;
  return value;
}

ObjectProperties::ObjectProperties() {
  for (int i = 0; i < kObjectPropertyCount; ++i) values_[i] = kTable[i].defaultValue;
}

int32_t ObjectProperties::Value(int index) const { return ValidIndex(index) ? values_[index] : 0; }

bool ObjectProperties::SetValue(int index, int32_t value) {
  if (!ValidIndex(index) || IsDataProperty(index)) return false;
  value = ClampObjectValue(index, value);
  if (values_[index] == value) return false;
  values_[index] = value;
  return true;
}

std::span<const uint8_t> ObjectProperties::Data(int index) const {
  if (!IsDataProperty(index)) return {};
  return data_[index];
}

bool ObjectProperties::SetData(int index, std::span<const uint8_t> bytes) {
  if (!IsDataProperty(index)) return false;
  data_[index].assign(bytes.begin(), bytes.end());
  return true;
}

bool ReadObjectData(std::span<const uint8_t> data, ObjectProperties* out) {
  return ReadStoredData(data, out, ReadFields);
}

std::vector<uint8_t> WriteObjectData(const ObjectProperties& properties) {
  std::vector<uint8_t> out;
  base::PutI32(out, kStoredVersion);
  for (int index : kStoredValues) base::PutI32(out, properties.Value(index));
  base::PutI32(out, properties.Value(kPropType));
  base::PutI32(out, properties.Value(kPropTurnType));
  base::PutPrefixed(out, properties.Data(kPropText));
  for (int index : kStoredArrays) base::PutPrefixed(out, properties.Data(index));
  return out;
}

}  // namespace components
