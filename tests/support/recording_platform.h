// A platform for native tests: records every error box and turns the process end into an
// exception, so that a test can check what a runtime error showed and with which exit code.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/program_lifetime.h"

namespace testing_support {

struct ProcessEnded {
  int exitCode;
};

class RecordingPlatform final : public runtime::Platform {
 public:
  struct Box {
    std::string text, title;
  };

  RecordingPlatform() { previous_ = runtime::InstallPlatform(this); }
  ~RecordingPlatform() override {
    runtime::InstallPlatform(previous_);
    // Each test starts with events running and no exit routines, whatever the last one did.
    while (runtime::EventsSuspendedCount() > 0) runtime::ResumeEvents();
    runtime::DropExitRoutines();
  }

  void ShowErrorBox(const char* text, const char* title) override { boxes.push_back({text, title}); }
  [[noreturn]] void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }

  std::vector<Box> boxes;

 private:
  runtime::Platform* previous_;
};

// Runs f, which must end the process; returns the exit code (or -12345 if it returned).
template <typename F>
int ExitCodeOf(F&& f) {
  try {
    f();
  } catch (const ProcessEnded& ended) {
    return ended.exitCode;
  }
  return -12345;
}

}  // namespace testing_support
