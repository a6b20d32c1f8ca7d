// Reading and writing properties by (window id, unit id, index, element). Common properties 0
// to 7 go to the live window when there is one and to the unit's record; class properties go
// through the class's routines and need the window loaded. A call from another thread is run
// on the main thread, so that records and windows are only ever touched there.
#include <algorithm>

#include "runtime/core/errors.h"
#include "runtime/core/values.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/forms/property_values.h"

namespace runtime {
namespace {

inline constexpr int32_t kCoordinateLimit = 32627;

enum CommonProperty : int32_t {
  kLeft = 0,
  kTop = 1,
  kWidth = 2,
  kHeight = 3,
  kTag = 4,
  kVisible = 5,
  kDisabled = 6,
  kCursor = 7,
};
static_assert(kCursor + 1 == kFirstClassProperty);

template <typename T>
const T* PointerIn(uint64_t slot) {
  return reinterpret_cast<const T*>(static_cast<uintptr_t>(slot));
}
uint64_t IntSlot(int32_t value) { return static_cast<uint32_t>(value); }
void SetFlag(uint32_t& flags, uint32_t bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); }

}  // namespace

// One property access: the unit's record (live copy or template) and, when the window is
// present, its live object.
class PropertyAccess {
 public:
  PropertyAccess(FormRuntime& forms, uint32_t windowId, uint32_t unitId) : forms_(forms) {
    window_ = forms.Find(windowId);
    std::vector<UnitTemplate>* units = nullptr;
    if (window_) {
      units = &window_->units;
    } else if (WindowTemplate* source = forms.templates_.Find(windowId)) {
      units = &source->units;
    }
    if (!units) RuntimeErrorMessage(kErrorPropertyWindow);
    unit_ = units->empty() ? nullptr : unitId == 0 ? &units->front() : FindUnit(*units, unitId);
    if (!unit_) RuntimeErrorMessage(kErrorPropertyWindow);
    index_ = static_cast<size_t>(unit_ - units->data());
    object_ = window_ ? window_->live[index_].object : nullptr;
    handle_ = object_ && forms.system_.Exists(object_->Handle()) ? object_->Handle() : 0;
  }

  uint64_t Read(int32_t index, int32_t element) {
    WindowSystem& system = forms_.system_;
    switch (index) {
      case kLeft:
        return IntSlot(handle_ ? system.Rect(handle_).left : unit_->left);
      case kTop:
        return IntSlot(handle_ ? system.Rect(handle_).top : unit_->top);
      case kWidth:
        return IntSlot(handle_ ? system.Rect(handle_).width : unit_->width);
      case kHeight:
        return IntSlot(handle_ ? system.Rect(handle_).height : unit_->height);
      case kTag:
        return reinterpret_cast<uintptr_t>(NewText(unit_->tag));
      case kVisible:
        return handle_ ? system.IsVisible(handle_) : (unit_->flags & kUnitVisible) != 0;
      case kDisabled:
        return handle_ ? !system.IsEnabled(handle_) : (unit_->flags & kUnitDisabled) != 0;
      case kCursor:
        return reinterpret_cast<uintptr_t>(NewByteSet(unit_->cursorData));
      default:
        break;
    }
    if (index < kFirstClassProperty) return 0;
    const PropertyInfo* info = ClassPropertyInfo(index);
    if (!info) return 0;
    const std::optional<PropertyValue> value =
        forms_.ClassProperty(*window_, index_, index - kFirstClassProperty);
    return ValueForApplication(info->kind, value.value_or(PropertyValue{}), element, system.PixelsPerInch());
  }

  void Write(int32_t index, uint64_t value) {
    const auto number = static_cast<int32_t>(static_cast<uint32_t>(value));
    switch (index) {
      case kLeft:
      case kTop:
        return WritePosition(index, std::clamp(number, -kCoordinateLimit, kCoordinateLimit));
      case kWidth:
      case kHeight:
        return WriteSize(index, std::clamp(number, 0, kCoordinateLimit));
      case kTag:
        unit_->tag = std::string(TextView(PointerIn<char>(value)));
        return;
      case kVisible:
        return WriteVisible(number != 0);
      case kDisabled:
        return WriteDisabled(number != 0);
      case kCursor:
        return WriteCursor(ByteSetView(PointerIn<uint8_t>(value)));
      default:
        break;
    }
    if (index < kFirstClassProperty) return;
    const PropertyInfo* info = ClassPropertyInfo(index);
    if (!info) return;
    const auto changed = ClassOf()->Find<PropertyChangedRoutine>(kOpPropertyChanged);
    if (!changed) return;
    const PropertyValue converted = ValueForClass(info->kind, value, forms_.system_.PixelsPerInch());
    if (changed(*object_, index - kFirstClassProperty, converted) == 1) forms_.RecreateUnit(*window_, index_);
  }

 private:
  const UnitClass* ClassOf() const { return forms_.ClassFor(unit_->typeReference); }

  // Class properties exist only while the window is loaded.
  const PropertyInfo* ClassPropertyInfo(int32_t index) {
    if (!object_) RuntimeErrorMessage(kErrorWindowNotLoaded);
    const UnitClass* unitClass = ClassOf();
    return unitClass ? unitClass->Property(index - kFirstClassProperty) : nullptr;
  }

  void WritePosition(int32_t index, int32_t value) {
    (index == kLeft ? unit_->left : unit_->top) = value;
    if (!handle_) return;
    const UnitRect rect = forms_.system_.Rect(handle_);
    if (index == kLeft) {
      forms_.system_.MoveTo(handle_, value, rect.top);
    } else {
      forms_.system_.MoveTo(handle_, rect.left, value);
    }
  }

  void WriteSize(int32_t index, int32_t value) {
    (index == kWidth ? unit_->width : unit_->height) = value;
    if (!handle_) return;
    const UnitRect rect = forms_.system_.Rect(handle_);
    if (index == kWidth) {
      forms_.system_.Resize(handle_, value, rect.height);
    } else {
      forms_.system_.Resize(handle_, rect.width, value);
    }
  }

  void WriteVisible(bool visible) {
    SetFlag(unit_->flags, kUnitVisible, visible);
    if (!handle_) return;
    if (!visible) return forms_.system_.Show(handle_, ShowMode::kHide);
    if (index_ == 0) return forms_.system_.Show(handle_, ShowMode::kShowNormal);
    const UnitClass* unitClass = ClassOf();
    if (unitClass && (unitClass->state & kClassNeverShown)) return;
    forms_.system_.Show(handle_, ShowMode::kShowNoActivate);
  }

  void WriteDisabled(bool disabled) {
    SetFlag(unit_->flags, kUnitDisabled, disabled);
    if (handle_) forms_.system_.Enable(handle_, !disabled);
  }

  void WriteCursor(std::span<const uint8_t> data) {
    unit_->cursorData.assign(data.begin(), data.end());
    if (!window_) return;
    LiveUnit& live = window_->live[index_];
    if (live.cursor) forms_.system_.DestroyCursor(live.cursor);
    live.cursor = forms_.system_.MakeCursor(unit_->cursorData);
    if (handle_) forms_.system_.RefreshCursor();
  }

  FormRuntime& forms_;
  LiveWindow* window_ = nullptr;
  UnitTemplate* unit_ = nullptr;
  size_t index_ = 0;
  UnitObject* object_ = nullptr;
  WindowHandle handle_ = 0;
};

std::optional<PropertyValue> FormRuntime::ClassProperty(const LiveWindow& window, size_t unit, int k) {
  const UnitObject* object = unit < window.live.size() ? window.live[unit].object : nullptr;
  const UnitClass* unitClass = object ? ClassFor(window.units[unit].typeReference) : nullptr;
  const auto get = unitClass ? unitClass->Find<GetPropertyRoutine>(kOpGetProperty) : nullptr;
  if (!get) return std::nullopt;
  return get(*object, k);
}

uint64_t FormRuntime::ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element) {
  if (!system_.OnMainThread()) {
    struct Request {
      FormRuntime* forms;
      uint32_t windowId, unitId;
      int32_t index, element;
      uint64_t result;
    } request{this, windowId, unitId, index, element, 0};
    const bool done = system_.RunOnMainThread(
        [](void* context) {
          auto* r = static_cast<Request*>(context);
          r->result = r->forms->ReadProperty(r->windowId, r->unitId, r->index, r->element);
        },
        &request);
    if (!done) RuntimeErrorMessage(kErrorNotHandedOver);
    return request.result;
  }
  return PropertyAccess(*this, windowId, unitId).Read(index, element);
}

void FormRuntime::WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element,
                                uint64_t value) {
  if (!system_.OnMainThread()) {
    struct Request {
      FormRuntime* forms;
      uint32_t windowId, unitId;
      int32_t index, element;
      uint64_t value;
    } request{this, windowId, unitId, index, element, value};
    const bool done = system_.RunOnMainThread(
        [](void* context) {
          auto* r = static_cast<Request*>(context);
          r->forms->WriteProperty(r->windowId, r->unitId, r->index, r->element, r->value);
        },
        &request);
    // A write that did not happen must not pass for one that did.
    if (!done) RuntimeErrorMessage(kErrorNotHandedOver);
    return;
  }
  PropertyAccess(*this, windowId, unitId).Write(index, value);
}

}  // namespace runtime
