// A recording stand-in for the operating system behind the runtime commands: canned answers
// in, every request recorded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/services/system.h"

namespace testing_support {

class FakeServiceSystem final : public services::ServiceSystem {
 public:
  struct ProcessStart {
    std::string line;
    int showWindow;
    bool wait;
  };
  struct Box {
    uintptr_t owner;
    std::string text, title;
    uint32_t style;
  };
  struct FolderRequest {
    services::FolderSource source;
    int csidl;
  };
  struct ThreadStart {
    services::Subroutine routine;
    intptr_t parameter;
    bool keepHandle;
  };
  struct RegistryRequest {
    std::string key, value;
    size_t bufferSize;
  };

  FakeServiceSystem() { previous_ = services::InstallServiceSystem(this); }
  ~FakeServiceSystem() override { services::InstallServiceSystem(previous_); }

  runtime::DateTimeParts LocalTime() override { return now; }
  std::string ProgramDirectory() override { return programDirectory; }
  bool FileExists(const char* path) override {
    existsAsked.push_back(path);
    return files.count(path) != 0;
  }
  std::optional<uint64_t> FileSize(const char* path) override {
    if (auto it = fileSizes.find(path); it != fileSizes.end()) return it->second;
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  std::optional<std::vector<uint8_t>> ReadFile(const char* path) override {
    readAsked.push_back(path);
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> Environment(const char* name) override {
    auto it = environment.find(name);
    if (it == environment.end()) return std::nullopt;
    return it->second;
  }
  bool StartProcess(const char* line, int showWindow, bool wait) override {
    started.push_back({line, showWindow, wait});
    return processStarts;
  }
  int ShowMessage(uintptr_t owner, const char* text, const char* title, uint32_t style) override {
    boxes.push_back({owner, text, title, style});
    return pressed;
  }
  std::optional<std::string> MachineRegistryValue(const char* key, const char* value,
                                                  size_t bufferSize) override {
    registryAsked.push_back({key, value, bufferSize});
    return registryValue;
  }
  std::string SpecialFolder(services::FolderSource source, int csidl) override {
    foldersAsked.push_back({source, csidl});
    return folder;
  }
  bool StartThread(services::Subroutine routine, intptr_t parameter, bool keepHandle,
                   intptr_t* handle) override {
    threads.push_back({routine, parameter, keepHandle});
    if (threadStarts && keepHandle) *handle = threadHandle;
    return threadStarts;
  }
  bool EndThread(intptr_t handle) override {
    endedThreads.push_back(handle);
    return true;
  }

  // Answers.
  runtime::DateTimeParts now;
  std::string programDirectory;
  std::map<std::string, std::vector<uint8_t>> files;
  std::map<std::string, uint64_t> fileSizes;  // a size told for a file instead of its bytes
  std::map<std::string, std::string> environment;
  bool processStarts = true;
  int pressed = 1;
  std::optional<std::string> registryValue;
  std::string folder;
  bool threadStarts = true;
  intptr_t threadHandle = 0x1234;

  // Records.
  std::vector<std::string> existsAsked;
  std::vector<std::string> readAsked;
  std::vector<ProcessStart> started;
  std::vector<Box> boxes;
  std::vector<RegistryRequest> registryAsked;
  std::vector<FolderRequest> foldersAsked;
  std::vector<ThreadStart> threads;
  std::vector<intptr_t> endedThreads;

 private:
  services::ServiceSystem* previous_;
};

}  // namespace testing_support
