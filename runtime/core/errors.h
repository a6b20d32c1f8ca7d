// Runtime errors: the one way the system reports a fatal fault. A message box titled "错误",
// then the process ends with exit code -1 and the exit routines are not run.
#pragma once

#include <string>

namespace runtime {

// Codes of the error table (1 to 11).
enum ErrorCode : int {
  kErrorIndexAboveSize = 1,
  kErrorNotNumeric = 2,
  kErrorDimensionMismatch = 3,
  kErrorIndexBelowOne = 4,
  kErrorTypeMismatch = 5,
  kErrorStackImbalance = 6,
  kErrorNoReturnValue = 7,
  kErrorOnlyEqualityComparable = 8,
  kErrorChoiceIndex = 9,
  kErrorRedimension = 10,
  kErrorArgumentType = 11,
};

// The table's message for a code, or nullptr outside 1 to 11.
const char* ErrorTableMessage(int code);

// The text of the error box for code c (0: no code line) and message m (null or empty: no
// message line).
std::string RuntimeErrorText(int code, const char* message);

// An application-installed hook: called with the new events-suspended count, the code and the
// message; a non-zero result skips the message box. The process ends either way.
using ErrorHandler = int (*)(int suspendedCount, int code, const char* message);
void SetErrorHandler(ErrorHandler handler);

[[noreturn]] void ReportRuntimeError(int code, const char* message);
// Runtime error by code: the table's message with the code.
[[noreturn]] void RuntimeError(int code);
// Runtime error by message: code 0, so the box shows only the message line.
[[noreturn]] void RuntimeErrorMessage(const char* message);
[[noreturn]] inline void RuntimeErrorMessage(const std::string& message) {
  RuntimeErrorMessage(message.c_str());
}

}  // namespace runtime
