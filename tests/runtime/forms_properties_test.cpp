// Property reads and writes over fakes: the clamps, records versus live windows, tag, visible,
// disabled and cursor, class properties with their value kinds, re-created units, the two
// errors, and writes from another thread.
#include <gtest/gtest.h>

#include "runtime/core/heap.h"
#include "runtime/core/values.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/forms/property_values.h"
#include "runtime/test_layout.h"
#include "support/fake_forms.h"

using namespace runtime;
using namespace testing_support;

namespace {

uint64_t Slot(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }
uint64_t Slot(int32_t value) { return static_cast<uint32_t>(value); }

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { fake_.templates = test_layout::Layout(); }
  FormRuntime& forms() { return *fake_.forms; }
  void LoadMain() { ASSERT_TRUE(forms().LoadWindow(test_layout::kMainWindow, 0, false)); }
  int32_t ReadInt(uint32_t w, uint32_t u, int32_t index) {
    return static_cast<int32_t>(forms().ReadProperty(w, u, index, -1));
  }
  void WriteInt(uint32_t w, uint32_t u, int32_t index, int32_t v) {
    forms().WriteProperty(w, u, index, -1, Slot(v));
  }
  std::string ReadText(uint32_t w, uint32_t u, int32_t index) {
    char* text = reinterpret_cast<char*>(static_cast<uintptr_t>(forms().ReadProperty(w, u, index, -1)));
    std::string copy(TextView(text));
    Free(text);
    return copy;
  }
  const UnitTemplate& Record(uint32_t w, uint32_t u) {
    if (const LiveWindow* live = forms().Find(w)) return *FindUnit(live->units, u);
    return *FindUnit(fake_.templates.Find(w)->units, u);
  }
  FakeWindow& Live(uint32_t w, uint32_t u) { return fake_.system.At(forms().UnitHandle(w, u)); }
  // The message of the runtime error f raises.
  template <typename F>
  std::string ErrorOf(F&& f) {
    const int exitCode = ExitCodeOf(f);
    while (EventsSuspendedCount() > 0) ResumeEvents();
    if (exitCode != -1 || fake_.platform.boxes.empty()) return "";
    const std::string text = fake_.platform.boxes.back().text;
    const std::string marker = "错误信息：";
    const size_t at = text.find(marker);
    return at == std::string::npos ? ""
                                   : text.substr(at + marker.size(), text.size() - at - marker.size() - 2);
  }

  FakeForms fake_;
};

TEST_F(PropertiesTest, CoordinatesAreClampedTo32627AndSizesToZero) {
  const uint32_t w = test_layout::kOverlayWindow, u = test_layout::kTitleLabel;  // not loaded: the record
  WriteInt(w, u, 2, 40000);
  EXPECT_EQ(Record(w, u).width, 32627);
  WriteInt(w, u, 2, 32767);
  EXPECT_EQ(Record(w, u).width, 32627);
  WriteInt(w, u, 2, -5);
  EXPECT_EQ(Record(w, u).width, 0);
  WriteInt(w, u, 3, 32627);
  EXPECT_EQ(ReadInt(w, u, 3), 32627);
  WriteInt(w, u, 0, -40000);
  EXPECT_EQ(ReadInt(w, u, 0), -32627);
  WriteInt(w, u, 1, 40000);
  EXPECT_EQ(ReadInt(w, u, 1), 32627);
  WriteInt(w, u, 1, -32627);
  EXPECT_EQ(ReadInt(w, u, 1), -32627);
}

TEST_F(PropertiesTest, ALiveWindowMovesAndResizesKeepingTheOtherHalf) {
  LoadMain();
  const uint32_t w = test_layout::kMainWindow, u = test_layout::kFinishButton;
  WriteInt(w, u, 1, 393);
  EXPECT_EQ(Live(w, u).rect, (UnitRect{458, 393, 214, 56}));
  EXPECT_EQ(Record(w, u).top, 393);
  WriteInt(w, u, 0, -40000);
  EXPECT_EQ(Live(w, u).rect, (UnitRect{-32627, 393, 214, 56}));
  WriteInt(w, u, 2, 40000);
  WriteInt(w, u, 3, -1);
  EXPECT_EQ(Live(w, u).rect, (UnitRect{-32627, 393, 32627, 0}));
  // Reads follow the live window, which may have moved on its own.
  Live(w, u).rect.left = 7;
  EXPECT_EQ(ReadInt(w, u, 0), 7);
}

TEST_F(PropertiesTest, AWindowThatIsNotLoadedAnswersFromItsRecordsButHasNoClassProperties) {
  EXPECT_EQ(ReadInt(test_layout::kMainWindow, 0, 0), 50) << "the stored left";
  EXPECT_EQ(ReadInt(test_layout::kMainWindow, test_layout::kMainWindowUnit, 2), 800);
  EXPECT_EQ(ReadInt(test_layout::kMainWindow, test_layout::kCloseButton, 5), 1);
  EXPECT_EQ(ReadInt(test_layout::kMainWindow, test_layout::kProgressClock, 5), 0);
  EXPECT_EQ(ErrorOf([&] { ReadInt(test_layout::kMainWindow, test_layout::kProgressClock, 8); }),
            "指定窗口尚未载入");
  EXPECT_EQ(ErrorOf([&] { WriteInt(test_layout::kMainWindow, test_layout::kProgressClock, 8, 1200); }),
            "指定窗口尚未载入");
  EXPECT_EQ(ErrorOf([&] { ReadInt(0x52017777, 0, 0); }), "未载入欲访问窗口组件所在的窗口");
  EXPECT_EQ(ErrorOf([&] { WriteInt(0x52017777, 0, 0, 1); }), "未载入欲访问窗口组件所在的窗口");
  EXPECT_EQ(ErrorOf([&] { ReadInt(test_layout::kMainWindow, 0x16017777, 0); }),
            "未载入欲访问窗口组件所在的窗口");
}

TEST_F(PropertiesTest, TagVisibleDisabledAndCursor) {
  LoadMain();
  const uint32_t w = test_layout::kMainWindow;
  char* tag = NewText("标记");
  forms().WriteProperty(w, test_layout::kCloseButton, 4, -1, Slot(tag));
  Free(tag);
  EXPECT_EQ(ReadText(w, test_layout::kCloseButton, 4), "标记");

  WriteInt(w, test_layout::kCloseButton, 5, 0);
  EXPECT_FALSE(Live(w, test_layout::kCloseButton).visible);
  EXPECT_EQ(Record(w, test_layout::kCloseButton).flags & kUnitVisible, 0u);
  EXPECT_EQ(ReadInt(w, test_layout::kCloseButton, 5), 0);
  WriteInt(w, test_layout::kCloseButton, 5, 9);
  EXPECT_TRUE(Live(w, test_layout::kCloseButton).visible);
  EXPECT_EQ(ReadInt(w, test_layout::kCloseButton, 5), 1);
  WriteInt(w, test_layout::kProgressClock, 5, 1);
  EXPECT_FALSE(Live(w, test_layout::kProgressClock).visible) << "a timer is never shown";
  WriteInt(w, 0, 5, 0);
  WriteInt(w, 0, 5, 1);
  EXPECT_EQ(fake_.system.log.back(), "show " + std::to_string(forms().UnitHandle(w, 0)) + " 2");

  WriteInt(w, test_layout::kFinishButton, 6, 1);
  EXPECT_FALSE(Live(w, test_layout::kFinishButton).enabled);
  EXPECT_EQ(Record(w, test_layout::kFinishButton).flags & kUnitDisabled, kUnitDisabled);
  EXPECT_EQ(ReadInt(w, test_layout::kFinishButton, 6), 1);
  Live(w, test_layout::kFinishButton).enabled = true;
  EXPECT_EQ(ReadInt(w, test_layout::kFinishButton, 6), 0) << "the live window's state";

  const uint8_t data[] = {9, 8, 7, 6, 5};
  uint8_t* cursor = NewByteSet(data, sizeof data);
  forms().WriteProperty(w, test_layout::kLogoButton, 7, -1, Slot(cursor));
  forms().WriteProperty(w, test_layout::kLogoButton, 7, -1, Slot(cursor));
  Free(cursor);
  EXPECT_EQ(Record(w, test_layout::kLogoButton).cursorData, Bytes(data, data + 5));
  EXPECT_EQ(fake_.system.cursorsMade, 2);
  EXPECT_EQ(fake_.system.destroyedCursors.size(), 1u) << "the old cursor goes";
  EXPECT_EQ(fake_.system.log.back(), "refresh-cursor");
  uint8_t* read = reinterpret_cast<uint8_t*>(
      static_cast<uintptr_t>(forms().ReadProperty(w, test_layout::kLogoButton, 7, -1)));
  EXPECT_EQ(Bytes(ByteSetView(read).begin(), ByteSetView(read).end()), Bytes(data, data + 5));
  Free(read);
}

TEST_F(PropertiesTest, ClassPropertiesGoThroughTheClassByValueKind) {
  LoadMain();
  const uint32_t w = test_layout::kMainWindow;
  for (uint32_t button : {test_layout::kLogoButton, test_layout::kFinishButton, test_layout::kRepairButton}) {
    EXPECT_EQ(ReadText(w, button, 10), "按钮");
  }
  EXPECT_EQ(ReadText(w, test_layout::kCloseButton, 10), "关闭");
  EXPECT_EQ(ReadInt(w, test_layout::kProgressClock, 8), 0);
  WriteInt(w, test_layout::kProgressClock, 8, 1200);
  EXPECT_EQ(ReadInt(w, test_layout::kProgressClock, 8), 1200);
  WriteInt(w, test_layout::kProgressClock, 8, -3);
  EXPECT_EQ(fake_.LiveUnit(w, test_layout::kProgressClock)->timer.interval, 0);

  char* title = NewText("Netmend");
  forms().WriteProperty(w, 0, 8, -1, Slot(title));
  Free(title);
  EXPECT_EQ(fake_.LiveUnit(w, 0)->window.title, "Netmend");
  EXPECT_EQ(ReadText(w, 0, 8), "Netmend");

  WriteInt(w, 0, 22, 7);  // logical: stored as 1
  EXPECT_TRUE(fake_.LiveUnit(w, 0)->window.escCloses);
  EXPECT_EQ(ReadInt(w, 0, 22), 1);
  WriteInt(w, 0, 9, -3);  // choice: negatives as 0
  EXPECT_EQ(ReadInt(w, 0, 9), 0);
  WriteInt(w, 0, 9, 12);  // and the class keeps it in range
  EXPECT_EQ(ReadInt(w, 0, 9), 6);
  WriteInt(w, 0, 10, static_cast<int32_t>(0x00787878));
  EXPECT_EQ(fake_.LiveUnit(w, 0)->window.backgroundColour, 0x00787878u);
  EXPECT_EQ(forms().ReadProperty(w, 0, 99, -1), 0u) << "past the class's properties";
}

TEST_F(PropertiesTest, AUnitWhoseClassAsksIsBuiltAgainInPlace) {
  fake_.templates.windows = {Window(
      0x52010002,
      {Unit(0x06010000, kClassWindow, {0, 0, 300, 200}), Unit(0x16010001, kClassButton, {1, 1, 10, 10}),
       Unit(0x16010002, kClassRebuilt, {5, 6, 70, 80}), Unit(0x16010003, kClassButton, {1, 1, 10, 10})})};
  ASSERT_TRUE(forms().LoadWindow(0x52010002, 0, false));
  FakeUnit* old = fake_.LiveUnit(0x52010002, 0x16010002);
  const WindowHandle oldHandle = old->handle;
  const uint32_t controlId = old->controlId;
  fake_.system.At(oldHandle).rect.left = 44;  // moved since it was loaded
  fake_.system.focus = oldHandle;
  fake_.system.log.clear();

  char* text = NewText("new");
  forms().WriteProperty(0x52010002, 0x16010002, 8, -1, Slot(text));
  Free(text);
  FakeUnit* rebuilt = fake_.LiveUnit(0x52010002, 0x16010002);
  ASSERT_NE(rebuilt, old);
  EXPECT_FALSE(fake_.system.Exists(oldHandle));
  EXPECT_EQ(rebuilt->controlId, controlId);
  EXPECT_EQ(rebuilt->block, Bytes({'n', 'e', 'w'})) << "from the serialised class block";
  EXPECT_EQ(fake_.system.At(rebuilt->handle).rect, (UnitRect{44, 6, 70, 80}));
  EXPECT_EQ(fake_.system.focus, rebuilt->handle);
  EXPECT_EQ(fake_.system.log.back(), "show " + std::to_string(rebuilt->handle) + " 1");
  EXPECT_NE(std::find(fake_.system.log.begin(), fake_.system.log.end(),
                      "below " + std::to_string(rebuilt->handle) + " " +
                          std::to_string(forms().UnitHandle(0x52010002, 0x16010001))),
            fake_.system.log.end());
  EXPECT_EQ(Record(0x52010002, 0x16010002).left, 5) << "the record keeps what was written to it";
  EXPECT_EQ(EventsSuspendedCount(), 0);
}

TEST_F(PropertiesTest, AnotherThreadsAccessRunsOnTheMainThread) {
  LoadMain();
  fake_.system.onMainThread = false;
  WriteInt(test_layout::kMainWindow, test_layout::kRepairButton, 6, 1);
  EXPECT_EQ(fake_.system.marshalled, 1);
  EXPECT_FALSE(Live(test_layout::kMainWindow, test_layout::kRepairButton).enabled);
  EXPECT_EQ(ReadInt(test_layout::kMainWindow, test_layout::kRepairButton, 6), 1);
  EXPECT_EQ(fake_.system.marshalled, 2);

  // When the main thread cannot take the access, it is a runtime error, not a silent no-op.
  fake_.system.mainThreadTakesWork = false;
  const std::string error = kErrorNotHandedOver;
  EXPECT_EQ(ErrorOf([&] { WriteInt(test_layout::kMainWindow, test_layout::kRepairButton, 6, 0); }), error);
  EXPECT_EQ(ErrorOf([&] { ReadInt(test_layout::kMainWindow, test_layout::kRepairButton, 6); }), error);
}

}  // namespace
