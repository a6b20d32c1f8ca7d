// The window services over a fake window system: their typed arguments and results, MoveUnit's
// arithmetic, loads with and without a parent, and units the templates do not know.
#include <gtest/gtest.h>

#include <tuple>

#include "app/layout.h"
#include "app/services/commands.h"
#include "support/fake_forms.h"

using namespace runtime;
using namespace testing_support;
using namespace services;

namespace {

std::tuple<uint32_t, uint32_t, uint32_t> Triple(const TypedValue& v) { return {v.low, v.high, v.type}; }

TypedValue Ref(uint32_t windowId, uint32_t unitId, uint32_t type = kClassWindow) {
  return UnitReference(windowId, unitId, type);
}

class WindowCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { fake_.templates = app::ProgramLayout(); }
  TypedValue Call(void (*command)(TypedValue*, int32_t, const TypedValue*),
                  std::initializer_list<TypedValue> args) {
    TypedValue result;
    command(&result, static_cast<int32_t>(args.size()), args.begin());
    return result;
  }
  WindowHandle Handle(uint32_t w, uint32_t u) { return fake_.forms->UnitHandle(w, u); }
  UnitRect Rect(uint32_t w, uint32_t u) { return fake_.system.At(Handle(w, u)).rect; }

  FakeForms fake_;
};

TEST_F(WindowCommandsTest, LoadWindowWithAndWithoutAParent) {
  const TypedValue main = Ref(app::kMainWindow, app::kMainWindowUnit);
  const TypedValue overlay = Ref(app::kOverlayWindow, app::kOverlayWindowUnit);
  TypedValue loaded = Call(LoadWindowCommand, {overlay, main, TypedValue::Bool(false)});
  EXPECT_EQ(loaded.type, kTypeBool);
  EXPECT_EQ(loaded.low, 0u) << "a parent that is not there: nothing is loaded";
  EXPECT_EQ(fake_.forms->Find(app::kOverlayWindow), nullptr);

  loaded = Call(LoadWindowCommand, {main, TypedValue::Omitted(), TypedValue::Bool(false)});
  EXPECT_EQ(loaded.low, 1u);
  EXPECT_EQ(Call(LoadWindowCommand, {overlay, main}).low, 1u) << "modal left out: not modal";
  EXPECT_EQ(fake_.LiveUnit(app::kOverlayWindow, 0)->parent, Handle(app::kMainWindow, 0));
  const size_t made = fake_.units.size();
  EXPECT_EQ(Call(LoadWindowCommand, {overlay, main, TypedValue::Bool(false)}).low, 1u);
  EXPECT_EQ(fake_.units.size(), made) << "loaded already";
}

TEST_F(WindowCommandsTest, HandlesAndLoadedStateAnswerSoftly) {
  const TypedValue main = Ref(app::kMainWindow, app::kMainWindowUnit);
  const TypedValue close = Ref(app::kMainWindow, app::kCloseButton, kClassButton);
  EXPECT_EQ(Triple(Call(GetUnitHandleCommand, {close})), Triple(TypedValue::Int(0)));
  EXPECT_EQ(Triple(Call(IsWindowLoadedCommand, {main})), Triple(TypedValue::Bool(false)));
  EXPECT_EQ(Triple(Call(GetUnitHandleCommand, {Ref(0x52017777, 0)})), Triple(TypedValue::Int(0)));
  ASSERT_TRUE(fake_.forms->LoadWindow(app::kMainWindow, 0, false));
  EXPECT_EQ(Call(GetUnitHandleCommand, {close}).AsInt32(),
            static_cast<int32_t>(Handle(app::kMainWindow, app::kCloseButton)));
  EXPECT_EQ(Triple(Call(IsWindowLoadedCommand, {main})), Triple(TypedValue::Bool(true)));
  EXPECT_EQ(Triple(Call(IsWindowLoadedCommand, {Ref(app::kMainWindow, 0x06017777)})),
            Triple(TypedValue::Bool(false)))
      << "its unit must be found";
}

TEST_F(WindowCommandsTest, MoveUnitChangesOnlyWhatIsGiven) {
  ASSERT_TRUE(fake_.forms->LoadWindow(app::kMainWindow, 0, false));
  const TypedValue finish = Ref(app::kMainWindow, app::kFinishButton, kClassButton);
  Call(MoveUnitCommand, {finish, TypedValue::Int(10), TypedValue::Int(-1)});
  EXPECT_EQ(Rect(app::kMainWindow, app::kFinishButton), (UnitRect{10, -1, 214, 56}))
      << "left and top keep the size";
  Call(MoveUnitCommand,
       {finish, TypedValue::Omitted(), TypedValue::Omitted(), TypedValue::Int(-1), TypedValue::Int(30)});
  EXPECT_EQ(Rect(app::kMainWindow, app::kFinishButton), (UnitRect{10, -1, 214, 30}))
      << "a width of -1 keeps it";
  Call(MoveUnitCommand, {finish, TypedValue::Int(5), TypedValue::Omitted(), TypedValue::Int(100)});
  EXPECT_EQ(Rect(app::kMainWindow, app::kFinishButton), (UnitRect{5, -1, 100, 30}));
  fake_.system.log.clear();
  Call(MoveUnitCommand, {finish, TypedValue::Int(5), TypedValue::Int(-1)});
  EXPECT_TRUE(fake_.system.log.empty()) << "an unchanged rectangle is left alone";
  Call(MoveUnitCommand, {Ref(app::kOverlayWindow, 0)});  // known but not loaded: nothing
  EXPECT_TRUE(fake_.system.log.empty());
}

TEST_F(WindowCommandsTest, DestroyAndRefresh) {
  ASSERT_TRUE(fake_.forms->LoadWindow(app::kMainWindow, 0, false));
  const WindowHandle main = Handle(app::kMainWindow, 0);
  Call(RefreshUnitCommand, {Ref(app::kMainWindow, app::kMainWindowUnit)});
  EXPECT_EQ(fake_.system.log.back(), "refresh " + std::to_string(main));
  Call(DestroyWindowUnitCommand, {Ref(app::kMainWindow, app::kCloseButton, kClassButton)});
  EXPECT_EQ(Handle(app::kMainWindow, app::kCloseButton), 0u) << "a component goes at once";
  Call(DestroyWindowUnitCommand, {Ref(app::kMainWindow, app::kMainWindowUnit)});
  EXPECT_EQ(fake_.system.log.back(), "post-destroy " + std::to_string(main))
      << "the window through its queue";
  Call(DestroyWindowUnitCommand, {Ref(app::kMainWindow, app::kMainWindowUnit)});
  EXPECT_EQ(fake_.system.log.back(), "post-destroy " + std::to_string(main)) << "asked once";
  EXPECT_EQ(
      std::count(fake_.system.log.begin(), fake_.system.log.end(), "post-destroy " + std::to_string(main)),
      1);
  Call(DestroyWindowUnitCommand, {Ref(app::kMainWindow, app::kMainWindowUnit), TypedValue::Bool(true)});
  EXPECT_FALSE(fake_.system.Exists(main)) << "at once when asked";
  Call(RefreshUnitCommand, {Ref(app::kMainWindow, app::kMainWindowUnit)});  // gone: nothing
  EXPECT_EQ(fake_.system.log.back().rfind("refresh", 0), std::string::npos);
}

TEST_F(WindowCommandsTest, AUnitTheTemplatesDoNotKnowIsARuntimeError) {
  for (auto command : {DestroyWindowUnitCommand, RefreshUnitCommand, MoveUnitCommand}) {
    EXPECT_EQ(ExitCodeOf([&] { Call(command, {Ref(app::kMainWindow, 0x16017777, kClassButton)}); }), -1);
    ASSERT_FALSE(fake_.platform.boxes.empty());
    EXPECT_NE(fake_.platform.boxes.back().text.find("指定窗口或窗口组件不存在或尚未载入"), std::string::npos);
    while (EventsSuspendedCount() > 0) ResumeEvents();
  }
}

}  // namespace
