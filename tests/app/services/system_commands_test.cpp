// The command table and the commands that reach the operating system, against a recording
// fake system: what each asks of the system and what it makes of the answer.
#include <gtest/gtest.h>

#include "app/services/command_table.h"
#include "app/services/commands.h"
#include "app/services/services.h"
#include "fake_service_system.h"
#include "support/recording_platform.h"

using namespace services;
using runtime::TypedValue;
using testing_support::FakeServiceSystem;

namespace {

std::string Str(const OwnedText& text) { return std::string(View(text)); }

TEST(CommandTable, ThirtyThreeCorePositionsAllFilled) {
  for (int i = 0; i < kCoreCommandCount; ++i)
    EXPECT_NE(FindCommand(kCoreLibrary, i), nullptr) << "position " << i;
  EXPECT_EQ(FindCommand(kCoreLibrary, kLoadWindow), &LoadWindowCommand);
  EXPECT_EQ(FindCommand(kCoreLibrary, kMoveUnit), &MoveUnitCommand);
  EXPECT_EQ(FindCommand(kCoreLibrary, kCoreCommandCount), nullptr);
  EXPECT_EQ(FindCommand(kCoreLibrary, -1), nullptr);
  EXPECT_NE(FindCommand(kThreadLibrary, kStartThread), nullptr);
  EXPECT_NE(FindCommand(kThreadLibrary, kForceEndThread), nullptr);
  EXPECT_NE(FindCommand(kApplicationInterfaceLibrary, kGetBrowserVersionText), nullptr);
  EXPECT_NE(FindCommand(kOsInterfaceLibrary, kGetSpecialFolder), nullptr);
  EXPECT_EQ(FindCommand(3, 0), nullptr);
  EXPECT_EQ(FindCommand(4, 0), nullptr);
}

TEST(CommandTable, CallingAnEmptyPositionIsARuntimeError) {
  testing_support::RecordingPlatform platform;
  EXPECT_EQ(testing_support::ExitCodeOf([] { CallCommand(3, 0, {}); }), -1);
  EXPECT_EQ(testing_support::ExitCodeOf([] { CallCommand(kThreadLibrary, 7, {}); }), -1);
  ASSERT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(platform.boxes[0].title, "错误");
}

TEST(CommandTable, AWrongArgumentTypeIsARuntimeError) {
  testing_support::RecordingPlatform platform;
  FakeServiceSystem system;
  EXPECT_EQ(testing_support::ExitCodeOf([] {
              CallCore(kLeftText, {TypedValue::Int(1), TypedValue::Int(1)});
            }),
            -1);
  EXPECT_EQ(testing_support::ExitCodeOf([] {
              CallCore(kShiftLeft, {TypedValue::Text("1"), TypedValue::Int(1)});
            }),
            -1);
  EXPECT_EQ(testing_support::ExitCodeOf(
                [] { CallCommand(kThreadLibrary, kStartThread, {TypedValue::Int(0x401000)}); }),
            -1);
  ASSERT_EQ(platform.boxes.size(), 3u);
  EXPECT_NE(platform.boxes[0].text.find("所提供参数的数据类型不符合要求"), std::string::npos);
  EXPECT_NE(platform.boxes[1].text.find("欲转换数据类型不是数值"), std::string::npos);
  EXPECT_TRUE(system.threads.empty());
}

TEST(RunCommandLine, ShowModesAreClampedAndMapped) {
  FakeServiceSystem system;
  EXPECT_TRUE(RunCommandLine("a.exe", false));     // none: normal
  EXPECT_TRUE(RunCommandLine("a.exe", false, 0));  // below 1: hidden
  EXPECT_TRUE(RunCommandLine("a.exe", false, -5));
  EXPECT_TRUE(RunCommandLine("a.exe", false, 9));  // above 6: minimize
  EXPECT_TRUE(RunCommandLine("a.exe", false, 1));
  EXPECT_TRUE(RunCommandLine("a.exe", false, 3));
  EXPECT_TRUE(RunCommandLine("a.exe", false, 4));
  EXPECT_TRUE(RunCommandLine("a.exe", true, 5));
  ASSERT_EQ(system.started.size(), 8u);
  const int expected[] = {1, 0, 0, 6, 0, 2, 3, 4};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(system.started[i].showWindow, expected[i]) << i;
  EXPECT_FALSE(system.started[6].wait);
  EXPECT_TRUE(system.started[7].wait);
  EXPECT_EQ(system.started[0].line, "a.exe");
}

TEST(RunCommandLine, FailureIsFalse) {
  FakeServiceSystem system;
  EXPECT_FALSE(RunCommandLine(nullptr, false, 1));
  EXPECT_TRUE(system.started.empty());
  system.processStarts = false;
  EXPECT_FALSE(RunCommandLine("missing.exe", false, 1));
}

TEST(ShowMessageBox, TitleStyleOwnerAndButtons) {
  FakeServiceSystem system;
  system.pressed = 6;  // IDYES
  EXPECT_EQ(ShowMessageBox(TypedValue::Int(42), 4), 5);
  system.pressed = 7;  // IDNO
  EXPECT_EQ(ShowMessageBox(TypedValue::Text("m"), 0x1000, "T", TypedValue::Int(0x1234)), 6);
  system.pressed = 1;
  EXPECT_EQ(ShowMessageBox(TypedValue::Bool(true), 0x2000, nullptr), 0);
  system.pressed = 0;  // the box could not be shown
  EXPECT_EQ(ShowMessageBox(TypedValue::DateTime(45000.0), 0), -1);
  ASSERT_EQ(system.boxes.size(), 4u);
  EXPECT_EQ(system.boxes[0].text, "42");
  EXPECT_EQ(system.boxes[0].title, "信息：");
  EXPECT_EQ(system.boxes[0].style, 0x2004u) << "task-modal added";
  EXPECT_EQ(system.boxes[0].owner, 0u);
  EXPECT_EQ(system.boxes[1].style, 0x1000u) << "system-modal kept alone";
  EXPECT_EQ(system.boxes[1].title, "T");
  EXPECT_EQ(system.boxes[1].owner, 0x1234u);
  EXPECT_EQ(system.boxes[2].style, 0x2000u) << "task-modal given already stays task-modal";
  EXPECT_EQ(system.boxes[2].title, "") << "an empty title given is empty";
  EXPECT_EQ(system.boxes[2].text, "真");
  EXPECT_EQ(system.boxes[3].text, "2023年3月15日");
}

TEST(ShowMessageBox, AWindowReferenceOwnsTheBoxThroughTheFormRuntime) {
  FakeServiceSystem system;
  EXPECT_EQ(ShowMessageBox(TypedValue::Text("m"), 0, "T",
                           runtime::UnitReference(0x52010001, 0x06010000, 0x00010001)),
            0);
  SetUnitHandleLookup([](uint32_t window, uint32_t unit) -> uintptr_t {
    return window == 0x52010001 && unit == 0x06010000 ? 0xBEEF : 0;
  });
  EXPECT_EQ(ShowMessageBox(TypedValue::Text("m"), 0, "T",
                           runtime::UnitReference(0x52010001, 0x06010000, 0x00010001)),
            0);
  SetUnitHandleLookup(nullptr);
  ASSERT_EQ(system.boxes.size(), 2u);
  EXPECT_EQ(system.boxes[0].owner, 0u);
  EXPECT_EQ(system.boxes[1].owner, 0xBEEFu);
}

TEST(GetSpecialFolder, CodesSourcesAndTheTrailingBackslash) {
  FakeServiceSystem system;
  system.folder = "C:\\WINDOWS";
  EXPECT_EQ(Str(GetSpecialFolder(9)), "C:\\WINDOWS\\");
  system.folder = "C:\\TEMP\\";
  EXPECT_EQ(Str(GetSpecialFolder(11)), "C:\\TEMP\\");
  for (int code = 1; code <= 10; ++code) GetSpecialFolder(code);
  const int csidls[] = {5, 6, 16, 20, 11, 2, 7, 26};
  ASSERT_EQ(system.foldersAsked.size(), 12u);
  EXPECT_EQ(system.foldersAsked[0].source, FolderSource::kWindows);
  EXPECT_EQ(system.foldersAsked[1].source, FolderSource::kTemp);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(system.foldersAsked[2 + i].source, FolderSource::kShell);
    EXPECT_EQ(system.foldersAsked[2 + i].csidl, csidls[i]) << "code " << i + 1;
  }
  EXPECT_EQ(system.foldersAsked[10].source, FolderSource::kWindows);
  EXPECT_EQ(system.foldersAsked[11].source, FolderSource::kSystem);
  EXPECT_EQ(GetSpecialFolder(0), nullptr);
  EXPECT_EQ(GetSpecialFolder(12), nullptr);
  EXPECT_EQ(system.foldersAsked.size(), 12u) << "unknown codes ask nothing";
  system.folder = "";
  EXPECT_EQ(GetSpecialFolder(9), nullptr);
}

TEST(GetBrowserVersionText, ReadsTheVersionValueIntoAHundredBytes) {
  FakeServiceSystem system;
  system.registryValue = std::string("9.11.9600.16428\0\0\0", 18);
  EXPECT_EQ(Str(GetBrowserVersionText()), "9.11.9600.16428");
  system.registryValue = std::nullopt;
  EXPECT_EQ(GetBrowserVersionText(), nullptr);
  ASSERT_EQ(system.registryAsked.size(), 2u);
  EXPECT_EQ(system.registryAsked[0].key, "SOFTWARE\\Microsoft\\Internet Explorer");
  EXPECT_EQ(system.registryAsked[0].value, "Version");
  EXPECT_EQ(system.registryAsked[0].bufferSize, 100u);
}

TEST(FilesAndEnvironment, AnswersBecomeTextsAndByteSets) {
  FakeServiceSystem system;
  system.programDirectory = "C:\\Program Files\\Netmend";
  system.environment = {{"ProgramFiles", "C:\\Program Files"}, {"Empty", ""}};
  system.files = {{"C:\\a.png", {1, 2, 3}}, {"C:\\empty", {}}};
  EXPECT_EQ(Str(GetRunDirectory()), "C:\\Program Files\\Netmend");
  EXPECT_EQ(Str(ReadEnvironment("ProgramFiles")), "C:\\Program Files");
  EXPECT_EQ(ReadEnvironment("ProgramFiles(x86)"), nullptr);
  EXPECT_EQ(ReadEnvironment("Empty"), nullptr);
  EXPECT_TRUE(FileExists("C:\\a.png"));
  EXPECT_FALSE(FileExists("C:\\b.png"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ(system.existsAsked.size(), 2u) << "an empty path asks nothing";
  const OwnedBytes bytes = ReadFileBytes("C:\\a.png");
  EXPECT_EQ(ByteSetLength(bytes.get()), 3);
  EXPECT_EQ(ReadFileBytes("C:\\empty"), nullptr);
  EXPECT_EQ(ReadFileBytes("C:\\b.png"), nullptr);
  EXPECT_EQ(ReadFileBytes(nullptr), nullptr);
}

void Routine() {}

TEST(Threads, StartAndForceEnd) {
  FakeServiceSystem system;
  int32_t handle = 0;
  EXPECT_TRUE(StartThread(Routine, 7, &handle));
  EXPECT_EQ(handle, 0x1234);
  EXPECT_TRUE(StartThread(Routine));
  ASSERT_EQ(system.threads.size(), 2u);
  EXPECT_EQ(system.threads[0].routine, &Routine);
  EXPECT_EQ(system.threads[0].parameter, 7);
  EXPECT_TRUE(system.threads[0].keepHandle);
  EXPECT_EQ(system.threads[1].parameter, 0);
  EXPECT_FALSE(system.threads[1].keepHandle) << "no variable: the handle is closed at once";
  system.threadStarts = false;
  handle = 5;
  EXPECT_FALSE(StartThread(Routine, std::nullopt, &handle));
  EXPECT_EQ(handle, 5);
  EXPECT_TRUE(ForceEndThread(0x1234));
  EXPECT_FALSE(ForceEndThread(0));
  EXPECT_EQ(system.endedThreads, std::vector<intptr_t>{0x1234});
}

TEST(Threads, AHandleVariableOfALongIntegerGetsAllBits) {
  FakeServiceSystem system;
  int64_t handle = -1;
  const TypedValue routine =
      TypedValue::Pointer(reinterpret_cast<const void*>(&Routine), runtime::kTypeSubroutine);
  EXPECT_EQ(CallCommand(kThreadLibrary, kStartThread,
                        {routine, TypedValue::Omitted(), TypedValue::Pointer(&handle, runtime::kTypeLong)})
                .low,
            1u);
  EXPECT_EQ(handle, 0x1234);
}

}  // namespace
