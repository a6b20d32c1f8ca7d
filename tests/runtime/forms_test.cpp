// The form runtime over fakes: loading a window (order, control ids, stacking, notifications,
// showing, events 0, 3 and 4), failed loads, the dispatcher's rules, closing, the end of a
// window and of the program, libraries and notifications.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/core/heap.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/test_layout.h"
#include "support/fake_forms.h"

using namespace runtime;
using namespace testing_support;

namespace {

struct Seen {
  uint32_t windowId, unitId;
  int32_t event;
  bool everyUnitLive;
  FormRuntime::EventSource source;
};

std::vector<Seen> gSeen;
std::vector<int32_t> gRefuse;          // events whose handler returns false
void (*gThen)(EventFrame&) = nullptr;  // something more a handler does
FakeForms* gFake = nullptr;

bool EveryUnitLive(uint32_t windowId) {
  const LiveWindow* window = gFake->forms->Find(windowId);
  if (!window) return false;
  return std::all_of(window->live.begin(), window->live.end(), [](const LiveUnit& u) { return u.object; });
}

void Record(EventFrame& frame) {
  gSeen.push_back({frame.windowId, frame.unitId, frame.eventIndex, EveryUnitLive(frame.windowId),
                   gFake->forms->CurrentEventSource()});
  if (std::count(gRefuse.begin(), gRefuse.end(), frame.eventIndex)) frame.Return(0);
  if (gThen) gThen(frame);
}

std::vector<int32_t> EventsOf(uint32_t unitId) {
  std::vector<int32_t> events;
  for (const Seen& seen : gSeen) {
    if (seen.unitId == unitId) events.push_back(seen.event);
  }
  return events;
}

// The test layout with every event of every unit bound to the recorder.
TemplateTable RecordedLayout() {
  TemplateTable table = test_layout::Layout();
  for (WindowTemplate& window : table.windows) {
    for (UnitTemplate& unit : window.units) {
      unit.bindings.clear();
      Bind(unit, {-8, -7, 0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12}, Record);
    }
  }
  return table;
}

std::vector<std::string> Entries(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : log) {
    if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
  }
  return found;
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gSeen.clear();
    gRefuse.clear();
    gThen = nullptr;
    gFake = &fake_;
    fake_.templates = RecordedLayout();
  }
  void TearDown() override { gFake = nullptr; }
  FormRuntime& forms() { return *fake_.forms; }
  // The message of the runtime error that f raises ("" when it raises none); events run again
  // afterwards, as they would in a new process.
  template <typename F>
  std::string ErrorOf(F&& f) {
    const size_t boxes = fake_.platform.boxes.size();
    const int exitCode = ExitCodeOf(f);
    while (EventsSuspendedCount() > 0) ResumeEvents();
    if (exitCode != -1 || fake_.platform.boxes.size() != boxes + 1) return "";
    const std::string& text = fake_.platform.boxes.back().text;
    const std::string marker = "错误信息：";
    const size_t at = text.find(marker);
    return at == std::string::npos ? ""
                                   : text.substr(at + marker.size(), text.size() - at - marker.size() - 2);
  }
  WindowHandle HandleOf(uint32_t windowId, uint32_t unitId) { return forms().UnitHandle(windowId, unitId); }
  std::string H(uint32_t windowId, uint32_t unitId) { return std::to_string(HandleOf(windowId, unitId)); }

  FakeForms fake_;
};

TEST_F(FormsTest, ComponentsAreCreatedLastStoredFirstWithControlIdsFrom100) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  EXPECT_EQ(Entries(fake_.system.log, "create"),
            (std::vector<std::string>{"create " + std::to_string(test_layout::kMainWindowUnit) + " id 0",
                                      "create " + std::to_string(test_layout::kRepairButton) + " id 100",
                                      "create " + std::to_string(test_layout::kCloseButton) + " id 110",
                                      "create " + std::to_string(test_layout::kProgressClock) + " id 120",
                                      "create " + std::to_string(test_layout::kFinishButton) + " id 130",
                                      "create " + std::to_string(test_layout::kLogoButton) + " id 140"}));
  // Components are children of the window; the window of its owner (none here).
  const FakeUnit* logo = fake_.LiveUnit(test_layout::kMainWindow, test_layout::kLogoButton);
  EXPECT_EQ(logo->parent, HandleOf(test_layout::kMainWindow, 0));
  EXPECT_EQ(logo->style, kStyleTabStop);
  EXPECT_EQ(fake_.LiveUnit(test_layout::kMainWindow, 0)->parent, 0u);
}

TEST_F(FormsTest, TheFirstStoredComponentEndsOnTopAndTheRestFollowInStoredOrder) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  const uint32_t w = test_layout::kMainWindow;
  EXPECT_EQ(Entries(fake_.system.log, "below"),
            (std::vector<std::string>{
                "below " + H(w, test_layout::kLogoButton) + " 0",
                "below " + H(w, test_layout::kFinishButton) + " " + H(w, test_layout::kLogoButton),
                "below " + H(w, test_layout::kProgressClock) + " " + H(w, test_layout::kFinishButton),
                "below " + H(w, test_layout::kCloseButton) + " " + H(w, test_layout::kProgressClock),
                "below " + H(w, test_layout::kRepairButton) + " " + H(w, test_layout::kCloseButton)}));
}

TEST_F(FormsTest, NotificationsShowingAndEventsComeInTheirOrder) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  const uint32_t w = test_layout::kMainWindow;
  const std::string created = " " + std::to_string(kMessageUnitsCreated);
  std::vector<std::string> expected;
  for (uint32_t unit : {test_layout::kRepairButton, test_layout::kCloseButton, test_layout::kProgressClock,
                        test_layout::kFinishButton, test_layout::kLogoButton, test_layout::kMainWindowUnit}) {
    expected.push_back("send " + H(w, unit) + created);
  }
  expected.push_back("send " + H(w, 0) + " " + std::to_string(kMessageLayoutComplete));
  for (uint32_t unit : {test_layout::kRepairButton, test_layout::kCloseButton, test_layout::kProgressClock,
                        test_layout::kFinishButton, test_layout::kLogoButton, test_layout::kMainWindowUnit}) {
    expected.push_back("send " + H(w, unit) + " " + std::to_string(kMessageWindowReady));
  }
  EXPECT_EQ(Entries(fake_.system.log, "send"), expected);

  // Components by their visible flag (the timer is never shown), then the window normally.
  EXPECT_EQ(
      Entries(fake_.system.log, "show"),
      (std::vector<std::string>{
          "show " + H(w, test_layout::kLogoButton) + " 1", "show " + H(w, test_layout::kFinishButton) + " 1",
          "show " + H(w, test_layout::kProgressClock) + " 0",
          "show " + H(w, test_layout::kCloseButton) + " 1", "show " + H(w, test_layout::kRepairButton) + " 1",
          "show " + H(w, 0) + " 2"}));

  // Creation raised an event for every unit (the fake classes do), but events were suspended:
  // only 0, 3 and 4 of the window, each once, in order, with every component there.
  ASSERT_EQ(gSeen.size(), 3u);
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{0, 3, 4}));
  for (const Seen& seen : gSeen) EXPECT_TRUE(seen.everyUnitLive);
  EXPECT_EQ(EventsSuspendedCount(), 0);
  EXPECT_GE(fake_.system.pumped, 2) << "suspending and resuming first handle the waiting messages";
  EXPECT_TRUE(forms().IsWindowLoaded(w, test_layout::kMainWindowUnit));
}

TEST_F(FormsTest, ALoadedWindowIsOnlyBroughtToTheFront) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  gSeen.clear();
  const size_t made = fake_.units.size();
  EXPECT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  EXPECT_EQ(fake_.system.log.back(), "activate " + H(test_layout::kMainWindow, 0));
  fake_.system.At(HandleOf(test_layout::kMainWindow, 0)).minimized = true;
  EXPECT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  EXPECT_EQ(fake_.system.log.back(), "restore " + H(test_layout::kMainWindow, 0));
  EXPECT_TRUE(gSeen.empty());
  EXPECT_EQ(fake_.units.size(), made);
}

TEST_F(FormsTest, AWindowLoadedByAHandlerOfTheWaitingMessagesIsNotLoadedTwice) {
  int pumps = 0;
  fake_.system.onPump = [&] {
    if (pumps++ == 0) forms().LoadWindow(test_layout::kMainWindow, 0, false);
  };
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  const size_t units = fake_.templates.Find(test_layout::kMainWindow)->units.size();
  size_t made = 0;
  for (const auto& unit : fake_.units) {
    if (unit->windowId != test_layout::kMainWindow) continue;
    ++made;
    EXPECT_TRUE(forms().FindByHandle(unit->handle)) << "every unit made is tracked";
  }
  EXPECT_EQ(made, units);
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{0, 3, 4}));
  EXPECT_EQ(EventsSuspendedCount(), 0);
}

TEST_F(FormsTest, OwnersAndModalLoads) {
  EXPECT_FALSE(forms().LoadWindow(test_layout::kOverlayWindow, 0x4242, false)) << "an owner that is gone";
  EXPECT_EQ(forms().Find(test_layout::kOverlayWindow), nullptr);
  EXPECT_TRUE(fake_.units.empty());
  EXPECT_FALSE(forms().LoadWindow(0x52019999, 0, false)) << "no such template";

  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  const WindowHandle main = HandleOf(test_layout::kMainWindow, 0);
  ASSERT_TRUE(forms().LoadWindow(test_layout::kOverlayWindow, main, false));
  EXPECT_EQ(fake_.LiveUnit(test_layout::kOverlayWindow, 0)->parent, main);
  // The overlay's own library is missing: its units are placeholders, created all the same.
  EXPECT_EQ(fake_.LiveUnit(test_layout::kOverlayWindow, test_layout::kCartoonBox1)->typeReference, 0u);

  forms().DestroyUnit(test_layout::kOverlayWindow, 0, true);
  // A modal load ignores the owner handed in, is owned by the hidden owner window, and the
  // other windows wait, disabled, until it is gone.
  ASSERT_TRUE(forms().LoadWindow(test_layout::kOverlayWindow, 0x4242, true));
  EXPECT_EQ(fake_.LiveUnit(test_layout::kOverlayWindow, 0)->parent, FakeWindowSystem::kHiddenOwner);
  EXPECT_EQ(fake_.system.log.back(), "modal " + H(test_layout::kOverlayWindow, 0));
  EXPECT_TRUE(fake_.system.At(main).enabled) << "enabled again after the modal loop";
}

TEST_F(FormsTest, AFailedComponentDiscardsTheWholeWindow) {
  for (uint32_t bad : {kClassFailing, kClassUnknown, 0x00070001u}) {
    fake_.templates.windows = {Window(
        0x52010002,
        {Unit(0x06010000, kClassWindow, {0, 0, 100, 100}), Unit(0x16010001, kClassButton, {1, 1, 10, 10}),
         Unit(0x16010002, bad, {1, 1, 10, 10}), Unit(0x16010003, kClassButton, {1, 1, 10, 10})})};
    Bind(fake_.templates.windows[0].units[0], {0, 2}, Record);
    EXPECT_FALSE(forms().LoadWindow(0x52010002, 0, false));
    EXPECT_EQ(forms().Find(0x52010002), nullptr);
    for (auto& [handle, window] : fake_.system.windows) EXPECT_FALSE(window.exists);
    EXPECT_TRUE(gSeen.empty());
    EXPECT_EQ(EventsSuspendedCount(), 0);
  }
  EXPECT_EQ(ExitCodeOf([&] { forms().LoadStartWindow(0x52010002); }), -1);
  ASSERT_EQ(fake_.platform.boxes.size(), 1u);
  EXPECT_NE(fake_.platform.boxes[0].text.find("载入启动窗口失败"), std::string::npos);
}

TEST_F(FormsTest, AWindowDestroyedByItsCreationHandlerRaisesNothingMore) {
  gThen = [](EventFrame& frame) {
    if (frame.eventIndex == 0) gFake->forms->DestroyUnit(frame.windowId, 0, true);
  };
  forms().EnterMessageLoop();
  EXPECT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(forms().Find(test_layout::kMainWindow), nullptr);
  EXPECT_TRUE(
      Entries(fake_.system.log, "show " + std::to_string(HandleOf(test_layout::kMainWindow, 0))).empty());
  EXPECT_EQ(fake_.system.quitPosted, 1) << "the last window went while the loop runs";
}

TEST_F(FormsTest, TheDispatcherDropsSuspendedEventsAndNamesBadSources) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  gSeen.clear();
  SuspendEvents();
  forms().Raise(test_layout::kMainWindow, test_layout::kCloseButton, 0);
  ResumeEvents();
  EXPECT_TRUE(gSeen.empty());

  forms().Raise(test_layout::kMainWindow, 0, 12);
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].unitId, 0u) << "unit id 0 names the window";
  EXPECT_EQ(gSeen[0].source.unitId, 0u);

  EXPECT_EQ(ErrorOf([&] { forms().Raise(0x52017777, 0, 0); }), "未找到引发事件的窗口");
  EXPECT_EQ(forms().Find(test_layout::kMainWindow), nullptr)
      << "a runtime error ends the program, windows and all";
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  EXPECT_EQ(ErrorOf([&] { forms().Raise(test_layout::kMainWindow, 0x16017777, 0); }),
            "未找到引发事件的窗口组件");
}

TEST_F(FormsTest, ControlArrayLeadersSilentClassesAndReturnedValues) {
  UnitTemplate leader = Unit(0x16010001, kClassButton, {0, 0, 5, 5});
  UnitTemplate member = Unit(0x16010002, kClassButton, {0, 0, 5, 5});
  UnitTemplate other = Unit(0x16010003, kClassTimer, {0, 0, 5, 5});
  UnitTemplate loopA = Unit(0x16010004, kClassButton, {0, 0, 5, 5});
  UnitTemplate loopB = Unit(0x16010005, kClassButton, {0, 0, 5, 5});
  UnitTemplate silent = Unit(0x16010006, kClassSilent, {0, 0, 5, 5});
  Bind(leader, {0}, Record);
  member.arrayLeader = leader.id;  // shares the leader's bindings (it has none of its own)
  other.arrayLeader = leader.id;   // another class: keeps its own
  Bind(other, {0}, Record);
  loopA.arrayLeader = loopB.id;
  loopB.arrayLeader = loopA.id;
  Bind(silent, {0}, Record);
  fake_.templates.windows = {Window(0x52010002, {Unit(0x06010000, kClassWindow, {0, 0, 100, 100}), leader,
                                                 member, other, loopA, loopB, silent})};
  ASSERT_TRUE(forms().LoadWindow(0x52010002, 0, false));

  forms().Raise(0x52010002, member.id, 0);
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].unitId, member.id) << "the handler sees which member raised it";
  forms().Raise(0x52010002, other.id, 0);
  EXPECT_EQ(gSeen.size(), 2u);
  forms().Raise(0x52010002, loopA.id, 0);  // leaders naming each other: ends, nothing bound
  EXPECT_EQ(gSeen.size(), 2u);
  forms().Raise(0x52010002, leader.id, 9);  // no binding: ignored
  EXPECT_EQ(gSeen.size(), 2u);

  gRefuse = {0};
  EventFrame frame = forms().Raise(0x52010002, leader.id, 0);
  EXPECT_TRUE(frame.returnedValue);
  EXPECT_TRUE(frame.Refused());
  gRefuse.clear();
  frame = forms().Raise(0x52010002, leader.id, 0);
  EXPECT_FALSE(frame.returnedValue) << "a handler that returns nothing";

  EXPECT_EQ(ErrorOf([&] { forms().Raise(0x52010002, silent.id, 0); }), "引发事件的窗口组件无效");
}

TEST_F(FormsTest, ClosingAsksEvents12Then1AndEitherCanRefuse) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  gSeen.clear();
  gRefuse = {12};
  EXPECT_FALSE(forms().MayClose(test_layout::kMainWindow));
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{12}));
  gSeen.clear();
  gRefuse = {1};
  EXPECT_FALSE(forms().MayClose(test_layout::kMainWindow));
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{12, 1}));
  gRefuse.clear();
  EXPECT_TRUE(forms().MayClose(test_layout::kMainWindow));
}

TEST_F(FormsTest, TheLoopEndsWhenTheLastWindowGoes) {
  fake_.templates.windows[0].units[1].cursorData = {1, 2, 3, 4, 5, 6};  // a cursor of its own
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  ASSERT_TRUE(forms().LoadWindow(test_layout::kOverlayWindow, HandleOf(test_layout::kMainWindow, 0), false));
  EXPECT_EQ(fake_.system.cursorsMade, 1);
  forms().EnterMessageLoop();

  forms().DestroyUnit(test_layout::kOverlayWindow, 0, false);
  EXPECT_EQ(fake_.system.log.back(), "post-destroy " + H(test_layout::kOverlayWindow, 0))
      << "through its queue";
  fake_.system.Destroy(HandleOf(test_layout::kOverlayWindow, 0));
  EXPECT_EQ(fake_.system.quitPosted, 0);
  EXPECT_FALSE(forms().IsWindowLoaded(test_layout::kOverlayWindow, 0));

  forms().DestroyUnit(test_layout::kMainWindow, test_layout::kCloseButton,
                      false);  // a component goes at once
  EXPECT_EQ(forms().UnitHandle(test_layout::kMainWindow, test_layout::kCloseButton), 0u);
  forms().DestroyUnit(test_layout::kMainWindow, 0, true);
  EXPECT_EQ(fake_.system.quitPosted, 1);
  EXPECT_EQ(fake_.system.destroyedCursors.size(), 1u);
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{0, 3, 4, 2}));
  EXPECT_EQ(EventsOf(test_layout::kOverlayWindowUnit), (std::vector<int32_t>{0, 3, 4, 2}));
}

TEST_F(FormsTest, LibrariesClassesAndNotifications) {
  forms().StartLibraries(RuntimeNotify);
  EXPECT_EQ(LibraryNotes(), (std::vector<std::string>{"1 routine"})) << "only loaded libraries hear of it";
  EXPECT_EQ(forms().ClassFor(kClassButton)->state, kButtonClassState);
  EXPECT_EQ(forms().ClassFor(kClassCartoonBox), forms().ClassFor(kClassTransLabel)) << "the placeholder";
  EXPECT_EQ(forms().ClassFor(0x00010003), nullptr) << "an empty slot";
  EXPECT_EQ(forms().ClassFor(0x00010021), nullptr);
  EXPECT_EQ(forms().ClassFor(0x00070001), nullptr);
  EXPECT_EQ(forms().ClassFor(0x00010000), nullptr);

  EXPECT_EQ(RuntimeNotify(kNotifyTemplates, 0, 0), reinterpret_cast<intptr_t>(&fake_.templates));
  EXPECT_EQ(RuntimeNotify(kNotifyClassRecord, kClassTimer, 0),
            reinterpret_cast<intptr_t>(forms().ClassFor(kClassTimer)));
  LoadRequest request{test_layout::kMainWindow, 0, 0};
  EXPECT_EQ(RuntimeNotify(kNotifyLoadWindow, reinterpret_cast<uintptr_t>(&request), 0), 1);
  EXPECT_TRUE(forms().IsWindowLoaded(test_layout::kMainWindow, 0));
  void* block = reinterpret_cast<void*>(RuntimeNotify(kNotifyAllocate, 16, 0));
  ASSERT_NE(block, nullptr);
  block = reinterpret_cast<void*>(RuntimeNotify(kNotifyResize, reinterpret_cast<uintptr_t>(block), 64));
  RuntimeNotify(kNotifyFree, reinterpret_cast<uintptr_t>(block), 0);
  const int pumped = fake_.system.pumped;
  RuntimeNotify(kNotifySuspendEvents, 0, 0);
  EXPECT_EQ(EventsSuspendedCount(), 1);
  RuntimeNotify(kNotifyResumeEvents, 0, 0);
  EXPECT_EQ(EventsSuspendedCount(), 0);
  EXPECT_EQ(fake_.system.pumped, pumped + 2);
  EXPECT_EQ(ExitCodeOf([] { RuntimeNotify(kNotifyError, reinterpret_cast<uintptr_t>("x"), 0); }), -1);
  EXPECT_EQ(ExitCodeOf([] { RuntimeNotify(kNotifyEndProgram, 7, 0); }), 7);
}

std::vector<std::string>* gOrder;
void NoteExit() { gOrder->push_back("exit routine"); }
void Idle(uintptr_t argument) { gOrder->push_back("idle " + std::to_string(argument)); }

TEST_F(FormsTest, IdleCallbacksRunLastFirstWhileTheirWindowExists) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  std::vector<std::string> order;
  gOrder = &order;
  forms().AddIdleCallback(HandleOf(test_layout::kMainWindow, 0), Idle, 1);
  forms().AddIdleCallback(HandleOf(test_layout::kMainWindow, test_layout::kCloseButton), Idle, 2);
  forms().RunIdleCallbacks();
  EXPECT_EQ(order, (std::vector<std::string>{"idle 2", "idle 1"}));
  fake_.system.Destroy(HandleOf(test_layout::kMainWindow, test_layout::kCloseButton));
  order.clear();
  forms().RunIdleCallbacks();
  forms().RunIdleCallbacks();
  EXPECT_EQ(order, (std::vector<std::string>{"idle 1", "idle 1"}));
}

TEST_F(FormsTest, EndingTheProgramTearsDownInOrder) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  std::vector<std::string>& log = fake_.system.log;
  gOrder = &log;
  forms().AddIdleCallback(HandleOf(test_layout::kMainWindow, 0), Idle, 1);
  RegisterExitRoutine(NoteExit);
  log.clear();
  EXPECT_EQ(ExitCodeOf([] { EndProgram(0); }), 0);
  EXPECT_TRUE(ProgramEnding());
  auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
  const auto destroyed = at("destroy " + std::to_string(fake_.units[0]->handle));
  EXPECT_LT(destroyed, at("exit routine")) << "windows first (their events suspended)";
  EXPECT_LT(at("exit routine"), at("library 2"));
  EXPECT_EQ(at("library 2"), static_cast<ptrdiff_t>(log.size()) - 1);
  EXPECT_EQ(EventsOf(test_layout::kMainWindowUnit), (std::vector<int32_t>{0, 3, 4}))
      << "no event 2 while ending";
  const size_t entries = log.size();
  forms().RunIdleCallbacks();
  EXPECT_EQ(log.size(), entries) << "the idle callbacks were cleared";
}

// A platform whose caller is not the main thread: the end goes to the main thread.
class OtherThreadPlatform final : public Platform {
 public:
  OtherThreadPlatform() { previous_ = InstallPlatform(this); }
  ~OtherThreadPlatform() override { InstallPlatform(previous_); }
  void ShowErrorBox(const char*, const char*) override {}
  [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }
  bool OnMainThread() override { return false; }
  void HandEndToMainThread(int exitCode) override { handed.push_back(exitCode); }
  std::vector<int> handed;

 private:
  Platform* previous_;
};

TEST_F(FormsTest, AnotherThreadHandsTheEndToTheMainThread) {
  ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false));
  RegisterExitRoutine(NoteExit);
  std::vector<std::string> order;
  gOrder = &order;
  OtherThreadPlatform platform;
  EXPECT_EQ(ExitCodeOf([] { EndProgram(5); }), 5) << "the main thread could not take it: this thread ends it";
  EXPECT_EQ(platform.handed, (std::vector<int>{5}));
  EXPECT_TRUE(order.empty()) << "the exit routines are the main thread's to run";
  EXPECT_TRUE(forms().IsWindowLoaded(test_layout::kMainWindow, 0));
}

}  // namespace
