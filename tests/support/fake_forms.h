// A form runtime over a recording fake window system and fake unit classes, for native tests
// of the loader, the dispatcher and the property rules. The fake classes keep their settings
// in the real class property structures, so class properties go through the real mapping.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/classes/builtin_classes.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/templates/class_blocks.h"
#include "support/recording_platform.h"

namespace testing_support {

struct FakeWindow {
  runtime::UnitRect rect;
  runtime::WindowHandle parent = 0;
  bool exists = true;
  bool visible = false;
  bool enabled = true;
  bool minimized = false;
};

class FakeWindowSystem final : public runtime::WindowSystem {
 public:
  std::map<runtime::WindowHandle, FakeWindow> windows;
  std::vector<std::string> log;  // what the runtime asked, in order
  std::function<void(runtime::WindowHandle)> onDestroyed;
  std::function<void()> onPump;
  bool onMainThread = true;
  int marshalled = 0;
  bool mainThreadTakesWork = true;
  runtime::WindowHandle focus = 0;
  int quitPosted = 0;
  int pumped = 0;

  runtime::WindowHandle Add(const runtime::UnitRect& rect, runtime::WindowHandle parent) {
    const runtime::WindowHandle handle = next_++;
    windows[handle] = FakeWindow{rect, parent};
    return handle;
  }
  FakeWindow& At(runtime::WindowHandle handle) { return windows.at(handle); }
  void Note(const std::string& entry) { log.push_back(entry); }

  bool OnMainThread() override { return onMainThread; }
  bool RunOnMainThread(void (*work)(void*), void* context) override {
    if (!mainThreadTakesWork) return false;
    ++marshalled;
    const bool was = onMainThread;
    onMainThread = true;
    work(context);
    onMainThread = was;
    return true;
  }
  bool Exists(runtime::WindowHandle w) override { return windows.count(w) && windows[w].exists; }
  runtime::UnitRect Rect(runtime::WindowHandle w) override { return At(w).rect; }
  void MoveTo(runtime::WindowHandle w, int32_t left, int32_t top) override {
    At(w).rect.left = left;
    At(w).rect.top = top;
  }
  void Resize(runtime::WindowHandle w, int32_t width, int32_t height) override {
    At(w).rect.width = width;
    At(w).rect.height = height;
  }
  void Place(runtime::WindowHandle w, const runtime::UnitRect& rect) override {
    Note("place " + std::to_string(w));
    At(w).rect = rect;
  }
  bool IsVisible(runtime::WindowHandle w) override { return At(w).visible; }
  bool IsEnabled(runtime::WindowHandle w) override { return At(w).enabled; }
  bool IsMinimized(runtime::WindowHandle w) override { return At(w).minimized; }
  void Show(runtime::WindowHandle w, runtime::ShowMode mode) override {
    At(w).visible = mode != runtime::ShowMode::kHide;
    Note("show " + std::to_string(w) + " " + std::to_string(static_cast<int>(mode)));
  }
  void Enable(runtime::WindowHandle w, bool enable) override { At(w).enabled = enable; }
  void Restore(runtime::WindowHandle w) override { Note("restore " + std::to_string(w)); }
  void Activate(runtime::WindowHandle w) override { Note("activate " + std::to_string(w)); }
  void Refresh(runtime::WindowHandle w) override { Note("refresh " + std::to_string(w)); }
  void SetParent(runtime::WindowHandle child, runtime::WindowHandle parent) override {
    At(child).parent = parent;
    Note("parent " + std::to_string(child) + " " + std::to_string(parent));
  }
  void PlaceBelow(runtime::WindowHandle w, runtime::WindowHandle above) override {
    Note("below " + std::to_string(w) + " " + std::to_string(above));
  }
  runtime::WindowHandle Focus() override { return focus; }
  void SetFocus(runtime::WindowHandle w) override { focus = w; }
  void Send(runtime::WindowHandle w, uint32_t message) override {
    Note("send " + std::to_string(w) + " " + std::to_string(message));
  }
  void Destroy(runtime::WindowHandle w) override;
  void PostDestroy(runtime::WindowHandle w) override { Note("post-destroy " + std::to_string(w)); }
  runtime::CursorHandle MakeCursor(std::span<const uint8_t> data) override {
    const bool standard = data.size() == 4 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0;
    if (standard) return 0;
    ++cursorsMade;
    return 0xC000 + cursorsMade;
  }
  void DestroyCursor(runtime::CursorHandle cursor) override { destroyedCursors.push_back(cursor); }
  void RefreshCursor() override { Note("refresh-cursor"); }
  runtime::WindowHandle HiddenOwner() override { return kHiddenOwner; }
  void ProcessWaitingMessages() override {
    ++pumped;
    if (onPump) onPump();  // what the handlers of waiting messages do
  }
  void RunModalLoop(runtime::WindowHandle w) override { Note("modal " + std::to_string(w)); }
  void PostQuit() override { ++quitPosted; }
  int PixelsPerInch() override { return 96; }

  int cursorsMade = 0;
  std::vector<runtime::CursorHandle> destroyedCursors;
  static constexpr runtime::WindowHandle kHiddenOwner = 0x99;

 private:
  runtime::WindowHandle next_ = 0x100;
};

// The object a fake class makes.
struct FakeUnit final : runtime::UnitObject {
  runtime::WindowHandle handle = 0;
  uint32_t windowId = 0, unitId = 0, typeReference = 0;
  uint32_t controlId = 0;
  runtime::WindowHandle parent = 0;
  uint32_t style = 0;
  runtime::WindowProperties window;
  runtime::ButtonProperties button;
  runtime::TimerProperties timer;
  runtime::Bytes block;
  runtime::WindowHandle Handle() const override { return handle; }
};

// Type references of the fake classes beyond the core library's three.
inline constexpr uint32_t kClassSilent = 0x00010002;   // no events (state 0)
inline constexpr uint32_t kClassFailing = 0x00010004;  // its create routine fails
inline constexpr uint32_t kClassRebuilt = 0x00010005;  // a property change asks for re-creation
inline constexpr uint32_t kClassUnknown = 0x00010006;  // no class record

// A runtime object over the fakes, installed for the test's lifetime.
class FakeForms {
 public:
  FakeForms();
  ~FakeForms();

  runtime::TemplateTable templates;
  FakeWindowSystem system;
  RecordingPlatform platform;
  std::vector<std::unique_ptr<FakeUnit>> units;  // every object made, in creation order
  std::unique_ptr<runtime::FormRuntime> forms;

  FakeUnit* UnitFor(runtime::WindowHandle handle);
  FakeUnit* LiveUnit(uint32_t windowId, uint32_t unitId);
};

// What the fake libraries were told, in order ("1 routine" at start, "2" at the end).
std::vector<std::string>& LibraryNotes();

// Templates built in tests.
runtime::UnitTemplate Unit(uint32_t id, uint32_t typeReference, runtime::UnitRect rect, uint32_t flags = 1);
runtime::WindowTemplate Window(uint32_t id, std::vector<runtime::UnitTemplate> units);
// Binds the events to the routine on the unit.
void Bind(runtime::UnitTemplate& unit, std::initializer_list<int32_t> events, runtime::EventRoutine routine);

}  // namespace testing_support
