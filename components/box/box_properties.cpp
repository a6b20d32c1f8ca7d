// The animation box's properties and its stored property data.
#include "components/box/box_properties.h"

#include <algorithm>

#include "components/object/stored_fields.h"

namespace components {

namespace {

// The 32-bit values stored after the version 2 header, in stored order.
constexpr int kVersion2Values[] = {kBoxPenStyle,   kBoxDrawRop2,   kBoxPenWidth,  kBoxPenColor,
                                   kBoxBrushStyle, kBoxBrushColor, kBoxTextColor, kBoxTextBackColor};

int32_t* Field(BoxProperties& p, int index) {
  switch (index) {
    case kBoxBorder:
      return &p.border;
    case kBoxBackColor:
      return reinterpret_cast<int32_t*>(&p.backColor);
    case kBoxPicDrawMode:
      return &p.picDrawMode;
    case kBoxPenStyle:
      return &p.penStyle;
    case kBoxDrawRop2:
      return &p.drawRop2;
    case kBoxPenWidth:
      return &p.penWidth;
    case kBoxPenColor:
      return reinterpret_cast<int32_t*>(&p.penColor);
    case kBoxBrushStyle:
      return &p.brushStyle;
    case kBoxBrushColor:
      return reinterpret_cast<int32_t*>(&p.brushColor);
    case kBoxTextColor:
      return reinterpret_cast<int32_t*>(&p.textColor);
    case kBoxTextBackColor:
      return reinterpret_cast<int32_t*>(&p.textBackColor);
    default:
      return nullptr;
  }
}

bool ReadFields(ByteReader& in, BoxProperties* out) {
  int32_t version, value;
  if (!in.I32(&version) || version > kBoxDataVersion) return false;
  for (int index : {kBoxBorder, kBoxBackColor, kBoxPicDrawMode}) {
    if (!in.I32(&value)) return false;
    out->SetValue(index, value);
  }
  if (version >= 2) {
    for (int index : kVersion2Values) {
      if (!in.I32(&value)) return false;
      out->SetValue(index, value);
    }
    if (!ReadStoredArray(in, &out->font)) return false;
  }
  return ReadStoredArray(in, &out->picture);
}

}  // namespace

int32_t ClampBoxValue(int index, int32_t value) {
  switch (index) {
    case kBoxBorder:
      return std::clamp(value, 0, 5);
    case kBoxPicDrawMode:
      return std::clamp(value, 0, 3);
    case kBoxPenStyle:
      return std::clamp(value, 0, 6);
    case kBoxDrawRop2:
      return std::clamp(value, 0, 15);
    case kBoxPenWidth:
      return std::clamp(value, 0, 32767);
    case kBoxBrushStyle:
      return std::clamp(value, 0, 55);
    default:
      return value;
  }
}

int32_t BoxProperties::Value(int index) const {
  int32_t* field = Field(const_cast<BoxProperties&>(*this), index);
  return field ? *field : 0;
}

bool BoxProperties::SetValue(int index, int32_t value) {
  int32_t* field = Field(*this, index);
  if (!field) return false;
  value = ClampBoxValue(index, value);
  if (*field == value) return false;
  *field = value;
  return true;
}

bool ReadBoxData(std::span<const uint8_t> data, BoxProperties* out) {
  return ReadStoredData(data, out, ReadFields);
}

std::vector<uint8_t> WriteBoxData(const BoxProperties& properties) {
  std::vector<uint8_t> out;
  base::PutI32(out, kBoxDataVersion);
  for (int index : {kBoxBorder, kBoxBackColor, kBoxPicDrawMode}) base::PutI32(out, properties.Value(index));
  for (int index : kVersion2Values) base::PutI32(out, properties.Value(index));
  base::PutPrefixed(out, properties.font);
  base::PutPrefixed(out, properties.picture);
  return out;
}

}  // namespace components
