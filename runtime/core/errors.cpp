// Runtime error reporting.
#include "runtime/core/errors.h"

#include <atomic>
#include <iterator>
#include <string>

#include "runtime/core/program_lifetime.h"

namespace runtime {
namespace {

constexpr const char* kErrorTable[] = {
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

std::atomic<ErrorHandler> gErrorHandler{nullptr};
std::atomic<bool> gInsideErrorHandler{false};

}  // namespace

const char* ErrorTableMessage(int code) {
  if (code < 1 || code > static_cast<int>(std::size(kErrorTable))) return nullptr;
  return kErrorTable[code - 1];
}

std::string RuntimeErrorText(int code, const char* message) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) {
    text += "错误代码：";
    text += std::to_string(code);
    text += "\r\n\r\n";
  }
  if (message && *message) {
    text += "错误信息：";
    text += message;
    text += "\r\n";
  }
  return text;
}

void SetErrorHandler(ErrorHandler handler) {
  gErrorHandler = handler;
  gInsideErrorHandler = false;
}

void ReportRuntimeError(int code, const char* message) {
  const int suspended = SuspendEvents();
  bool showBox = true;
  ErrorHandler handler = gErrorHandler.load();
  if (handler && !gInsideErrorHandler.exchange(true)) {
    showBox = handler(suspended, code, message) == 0;
    gInsideErrorHandler = false;
  }
  if (showBox) CurrentPlatform().ShowErrorBox(RuntimeErrorText(code, message).c_str(), "错误");
  DropExitRoutines();
  EndProgram(-1);
}

void RuntimeError(int code) { ReportRuntimeError(code, ErrorTableMessage(code)); }

void RuntimeErrorMessage(const char* message) { ReportRuntimeError(0, message); }

}  // namespace runtime
