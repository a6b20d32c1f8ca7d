// The application's portable rules: the version gate's bounds and messages, the skin folder's
// override rule for single images and sets of three, and the progress schedule over the phase
// of the clock.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/repair_progress.h"
#include "app/services/fake_service_system.h"
#include "app/skin_images.h"
#include "app/version_gate.h"
#include "runtime/core/values.h"
#include "support/recording_platform.h"

namespace {

using testing_support::ExitCodeOf;
using testing_support::FakeServiceSystem;
using testing_support::RecordingPlatform;

// ---- Version gate ----

TEST(VersionGate, BoundsAreSingleFloatsComparedWithinATolerance) {
  FakeServiceSystem system;
  // "5.1" is 5.099999904632568: XP lies 9.5e-8 above it and passes.
  EXPECT_FALSE(app::VersionRefusal(5.1, "5.1", ""));
  EXPECT_FALSE(app::VersionRefusal(6.1, "5.1", ""));
  EXPECT_FALSE(app::VersionRefusal(10.0, "5.1", ""));
  EXPECT_EQ(app::VersionRefusal(5.0, "5.1", ""), std::string(app::kVersionTooLow));
  EXPECT_EQ(app::VersionRefusal(5.0999, "5.1", ""), std::string(app::kVersionTooLow));
  // Equal bounds accept that version only.
  EXPECT_FALSE(app::VersionRefusal(6.1, "6.1", "6.1"));
  EXPECT_EQ(app::VersionRefusal(6.0, "6.1", "6.1"),
            std::string("非常抱歉，本程序仅支持 6.1 版本 Windows 系统。"));
  EXPECT_EQ(app::VersionRefusal(6.2, "6.1", "6.1"),
            std::string("非常抱歉，本程序仅支持 6.1 版本 Windows 系统。"));
  EXPECT_EQ(app::VersionRefusal(6.0999999, "6.1", "6.1"), std::nullopt);
  // An upper bound.
  EXPECT_FALSE(app::VersionRefusal(6.0, "5.1", "6.1"));
  EXPECT_EQ(app::VersionRefusal(6.2, "5.1", "6.1"), std::string(app::kVersionTooHigh));
}

TEST(VersionGate, ARefusalShowsTheInformationBoxThenEndsWithZero) {
  RecordingPlatform platform;
  FakeServiceSystem system;
  bool exitRoutineRan = false;
  static bool* ran = &exitRoutineRan;
  runtime::RegisterExitRoutine([] { *ran = true; });
  app::CheckWindowsVersion(5.1, app::kLowestWindows, app::kHighestWindows);  // returns
  EXPECT_TRUE(system.boxes.empty());
  EXPECT_EQ(ExitCodeOf([] { app::CheckWindowsVersion(5.0, app::kLowestWindows, app::kHighestWindows); }), 0);
  ASSERT_EQ(system.boxes.size(), 1u);
  EXPECT_EQ(system.boxes[0].text, app::kVersionTooLow);
  EXPECT_EQ(system.boxes[0].title, "友情提示");
  EXPECT_EQ(system.boxes[0].style & 0xFF, 64u) << "information icon, OK button";
  EXPECT_EQ(system.boxes[0].owner, 0u);
  EXPECT_TRUE(exitRoutineRan);
  EXPECT_TRUE(platform.boxes.empty()) << "no runtime error box";
  runtime::ResetProgramEndForTesting();
}

// ---- Skin images ----

// Built-in image i is the two bytes B0 i.
std::array<app::ImageBytes, app::kSkinImageCount> BuiltIns(std::vector<std::vector<uint8_t>>& keep) {
  std::array<app::ImageBytes, app::kSkinImageCount> builtIn{};
  keep.resize(app::kSkinImageCount);
  for (int i = 0; i < app::kSkinImageCount; ++i) {
    keep[i] = {0xB0, static_cast<uint8_t>(i)};
    builtIn[i] = keep[i];
  }
  return builtIn;
}

std::vector<uint8_t> Bytes(app::ImageBytes bytes) { return {bytes.begin(), bytes.end()}; }

class SkinImagesTest : public testing::Test {
 protected:
  SkinImagesTest() : images_(BuiltIns(keep_)) { system_.programDirectory = "C:\\Net mend 网络"; }
  ~SkinImagesTest() override { images_.Release(); }

  void File(const char* name, std::vector<uint8_t> bytes) {
    system_.files[std::string("C:\\Net mend 网络\\skin\\") + name] = std::move(bytes);
  }
  std::vector<uint8_t> BuiltIn(app::SkinImageId id) { return {0xB0, static_cast<uint8_t>(id)}; }

  FakeServiceSystem system_;
  std::vector<std::vector<uint8_t>> keep_;
  app::SkinImages images_;
};

TEST_F(SkinImagesTest, ASingleImageComesFromItsFileWhenItExistsEvenEmpty) {
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), BuiltIn(app::kBackground1));
  EXPECT_EQ(system_.existsAsked.back(), "C:\\Net mend 网络\\skin\\background1.png");
  File("background1.png", {1, 2, 3});
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), (std::vector<uint8_t>{1, 2, 3}));
  // An empty file is no image, not the built-in one.
  File("background1.png", {});
  EXPECT_TRUE(images_.Resolve(app::kBackground1).empty());
  // The file gone again: the built-in image; the other images were never touched.
  system_.files.clear();
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), BuiltIn(app::kBackground1));
  EXPECT_EQ(Bytes(images_.Resolve(app::kRepairBusy)), BuiltIn(app::kRepairBusy));
}

TEST_F(SkinImagesTest, ASetIsTakenOnlyWhole) {
  File("button_start1.png", {7});
  app::SkinSet set = images_.ResolveSet(app::kStartNormal);
  EXPECT_EQ(Bytes(set.normal), BuiltIn(app::kStartNormal));
  EXPECT_EQ(Bytes(set.hover), BuiltIn(app::kStartHover));
  EXPECT_EQ(Bytes(set.pressed), BuiltIn(app::kStartPressed));

  File("button_x1.png", {1});
  File("button_x2.png", {2});
  File("button_x3.png", {3});
  images_.ReadSet(app::kCloseNormal);
  set = images_.ChooseSet(app::kCloseNormal);
  EXPECT_EQ(Bytes(set.normal), std::vector<uint8_t>{1});
  EXPECT_EQ(Bytes(set.hover), std::vector<uint8_t>{2});
  EXPECT_EQ(Bytes(set.pressed), std::vector<uint8_t>{3});

  // One empty member sends the whole set back to the built-in images.
  File("button_x3.png", {});
  set = images_.ResolveSet(app::kCloseNormal);
  EXPECT_EQ(Bytes(set.normal), BuiltIn(app::kCloseNormal));
  EXPECT_EQ(Bytes(set.pressed), BuiltIn(app::kClosePressed));
}

// The first bytes of a PNG file whose header declares the size (the rest need not follow).
std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
  std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t side : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(side >> shift));
  bytes.insert(bytes.end(), {8, 6, 0, 0, 0});
  return bytes;
}

TEST_F(SkinImagesTest, AHugePictureOrAHugeFileGivesTheBuiltInImage) {
  File("background1.png", PngHeader(8192, 8192));
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), BuiltIn(app::kBackground1));
  File("background1.png", PngHeader(4097, 16));
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), BuiltIn(app::kBackground1));
  File("background1.png", PngHeader(4096, 4096));
  EXPECT_EQ(Bytes(images_.Resolve(app::kBackground1)), PngHeader(4096, 4096));

  // A gigabyte file (sparse on disk) is never read.
  File("button_repair.png", {1});
  system_.fileSizes["C:\\Net mend 网络\\skin\\button_repair.png"] = uint64_t(1) << 30;
  EXPECT_EQ(Bytes(images_.Resolve(app::kRepairBusy)), BuiltIn(app::kRepairBusy));
  EXPECT_TRUE(system_.readAsked.empty() ||
              system_.readAsked.back().find("button_repair") == std::string::npos);

  // One oversized member sends the whole set back to the built-in images.
  File("button_end1.png", {1});
  File("button_end2.png", PngHeader(16, 8192));
  File("button_end3.png", {3});
  const app::SkinSet set = images_.ResolveSet(app::kEndNormal);
  EXPECT_EQ(Bytes(set.normal), BuiltIn(app::kEndNormal));
  EXPECT_EQ(Bytes(set.hover), BuiltIn(app::kEndHover));
}

// ---- Repair state and progress ----

TEST(RepairState, OnlyTheFirstOfManyClicksBeginsARepair) {
  app::RepairState state;
  std::atomic<int> winners{0};
  std::vector<std::thread> clicks;
  for (int i = 0; i < 8; ++i) clicks.emplace_back([&] { winners += state.TryBegin() ? 1 : 0; });
  for (std::thread& click : clicks) click.join();
  EXPECT_EQ(winners.load(), 1);
  EXPECT_FALSE(state.TryBegin());
  EXPECT_FALSE(state.StartMs()) << "no start time before the worker marks the run";
  state.MarkRunning(4242);
  EXPECT_EQ(state.StartMs(), 4242u);
}

// Ticks every 1200 ms from a clock phase in [0, 1200) relative to a start at `start`; the
// times (ms after the start) of the first frame, of each frame and of the first finished look.
struct ProgressRun {
  std::vector<uint32_t> frameTimes;
  std::vector<int> frames;
  uint32_t finishedAt = 0;
  int finishedTicks = 0;
  uint32_t endWorkerFrom = 0;
};

ProgressRun Simulate(uint32_t start, uint32_t phase) {
  app::ProgressSchedule schedule;
  ProgressRun run;
  for (uint32_t tick = phase; tick < 100000; tick += 1200) {
    const app::TickPlan plan = schedule.OnTick(app::ElapsedMs(start, start + tick));
    EXPECT_TRUE(plan.recompose);
    if (plan.frame) {
      run.frameTimes.push_back(tick);
      run.frames.push_back(plan.frame);
    }
    if (plan.finished && run.finishedTicks++ == 0) run.finishedAt = tick;
    if (plan.endWorker && !run.endWorkerFrom) run.endWorkerFrom = tick;
  }
  return run;
}

TEST(ProgressSchedule, ThirteenFramesFromTwoSecondsThenTheFinishedLookWhateverThePhase) {
  app::ProgressSchedule idle;
  const app::TickPlan nothing = idle.OnTick(std::nullopt);
  EXPECT_FALSE(nothing.recompose || nothing.frame || nothing.finished || nothing.endWorker);
  // The clock wraps in the middle of one run.
  for (uint32_t start : {0u, 0xFFFFF000u}) {
    for (uint32_t phase = 0; phase < 1200; phase += 50) {
      const ProgressRun run = Simulate(start, phase);
      ASSERT_EQ(run.frames.size(), 13u);
      for (int i = 0; i < 13; ++i) EXPECT_EQ(run.frames[i], i + 1);
      EXPECT_GE(run.frameTimes.front(), 2000u);
      EXPECT_LT(run.frameTimes.front(), 3200u);
      EXPECT_EQ(run.frameTimes.back() - run.frameTimes.front(), 12u * 1200u);
      EXPECT_GE(run.finishedAt, 17600u);
      EXPECT_LT(run.finishedAt, 18800u);
      EXPECT_EQ(run.finishedAt, run.frameTimes.back() + 1200);
      EXPECT_GT(run.endWorkerFrom, 90999u);
      EXPECT_LT(run.endWorkerFrom, 92200u);
    }
  }
}

}  // namespace
