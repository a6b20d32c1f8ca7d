// Runtime errors: box texts, codes, the suspended events, the error handler, exit routines.
#include "runtime/core/errors.h"

#include <gtest/gtest.h>

#include "runtime/core/program_lifetime.h"
#include "support/recording_platform.h"

using namespace runtime;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

TEST(RuntimeError, EveryCodeShowsItsTableMessage) {
  const char* expected[] = {
      "数组成员引用下标超出定义范围",
      "未得到所需要的数值型数据",
      "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
      "数组成员引用下标必须大于等于1",
      "数据或数组类型不匹配",
      "调用DLL命令后发现堆栈错误",
      "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
      "被比较数据只能使用等于或不等于命令比较",
      "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
      "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
      "所提供参数的数据类型不符合要求",
  };
  RecordingPlatform platform;
  for (int code = 1; code <= 11; ++code) {
    platform.boxes.clear();
    EXPECT_EQ(ExitCodeOf([&] { RuntimeError(code); }), -1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "错误");
    EXPECT_EQ(platform.boxes[0].text, "运行时出错!\r\n\r\n错误代码：" + std::to_string(code) +
                                          "\r\n\r\n错误信息：" + expected[code - 1] + "\r\n");
  }
  EXPECT_EQ(ErrorTableMessage(0), nullptr);
  EXPECT_EQ(ErrorTableMessage(12), nullptr);
}

TEST(RuntimeError, Code6ByteForByte) {
  // The box of a stack imbalance, exactly as the user sees it.
  EXPECT_EQ(RuntimeErrorText(6, ErrorTableMessage(6)),
            "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
}

TEST(RuntimeError, LinesAppearOnlyWhenThereIsSomethingToShow) {
  EXPECT_EQ(RuntimeErrorText(0, "载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(RuntimeErrorText(3, nullptr), "运行时出错!\r\n\r\n错误代码：3\r\n\r\n");
  EXPECT_EQ(RuntimeErrorText(0, ""), "运行时出错!\r\n\r\n");
  EXPECT_EQ(RuntimeErrorText(-2, "x"), "运行时出错!\r\n\r\n错误代码：-2\r\n\r\n错误信息：x\r\n");
}

int gHandlerCalls;
int gHandlerCount, gHandlerCode;
std::string gHandlerMessage;
int gHandlerResult;
int Handler(int suspendedCount, int code, const char* message) {
  ++gHandlerCalls;
  gHandlerCount = suspendedCount;
  gHandlerCode = code;
  gHandlerMessage = message ? message : "";
  if (gHandlerResult < 0) RuntimeError(2);  // an error inside the handler does not call it again
  return gHandlerResult;
}

class ErrorHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override { gHandlerCalls = 0; }
  void TearDown() override { SetErrorHandler(nullptr); }
  RecordingPlatform platform_;
};

TEST_F(ErrorHandlerTest, SeesTheRaisedCounterAndCanSkipTheBox) {
  SetErrorHandler(Handler);
  gHandlerResult = 1;
  EXPECT_EQ(ExitCodeOf([] { RuntimeErrorMessage("m"); }), -1) << "the process ends either way";
  EXPECT_EQ(gHandlerCalls, 1);
  EXPECT_EQ(gHandlerCount, 1) << "events are suspended before the handler runs";
  EXPECT_EQ(gHandlerCode, 0);
  EXPECT_EQ(gHandlerMessage, "m");
  EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(ErrorHandlerTest, ZeroShowsTheBoxAndReentryIsNotHandled) {
  SetErrorHandler(Handler);
  gHandlerResult = 0;
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(5); }), -1);
  EXPECT_EQ(gHandlerCode, 5);
  EXPECT_EQ(platform_.boxes.size(), 1u);

  platform_.boxes.clear();
  gHandlerCalls = 0;
  gHandlerResult = -1;  // the handler itself raises error 2
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(4); }), -1);
  EXPECT_EQ(gHandlerCalls, 1);
  ASSERT_EQ(platform_.boxes.size(), 1u);
  EXPECT_NE(platform_.boxes[0].text.find("错误代码：2"), std::string::npos);
}

int gExitRuns;
void CountExit() { ++gExitRuns; }
void CountExitTwice() { gExitRuns += 10; }

TEST(ExitRoutines, RunOnceInOrderAtANormalEndButNotAfterAnError) {
  RecordingPlatform platform;
  gExitRuns = 0;
  RegisterExitRoutine(CountExit);
  RegisterExitRoutine(CountExitTwice);
  RegisterExitRoutine(CountExit);  // already registered: not added again
  EXPECT_EQ(ExitCodeOf([] { EndProgram(0); }), 0);
  EXPECT_EQ(gExitRuns, 11);
  EXPECT_EQ(EventsSuspendedCount(), 1) << "ending the program suspends events";
  EXPECT_EQ(ExitCodeOf([] { EndProgram(0); }), 0);
  EXPECT_EQ(gExitRuns, 11) << "the list was emptied";

  RegisterExitRoutine(CountExit);
  EXPECT_EQ(ExitCodeOf([] { RuntimeError(1); }), -1);
  EXPECT_EQ(gExitRuns, 11) << "a runtime error drops the exit routines";
}

}  // namespace
