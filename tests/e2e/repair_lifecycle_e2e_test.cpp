// The repair's life beside what the user does meanwhile: the skin folder's pictures of the busy
// and finished looks, a minimise and restore during the repair and after it, and closing the
// program while the repair runs.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "app/win/stand_ins_win.h"
#include "e2e/netmend_run_win.h"
#include "support/child_process_win.h"

namespace {

using namespace testing_support;
using namespace e2e;

constexpr COLORREF kRed = RGB(230, 20, 20), kGreen = RGB(20, 200, 40), kBlue = RGB(30, 40, 220);

COLORREF BackgroundPixel(HWND main) {
  const RECT r = e2e::WindowRect(main);
  return e2e::ScreenPixel(r.left + 20, r.top + 560);
}

// Whether the finished look shows within five seconds (fifty in the guest): the finish button
// enabled and the green background of the skin folder's picture on screen. (Right after a
// rebuild of the start look the screen may still show the old picture.)
testing::AssertionResult FinishedLookShows(HWND main, HWND finish) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < TimeLimit(5000); Sleep(50))
    if (IsWindowEnabled(finish) && Near(BackgroundPixel(main), kGreen)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "finish button " << (IsWindowEnabled(finish) ? "enabled" : "disabled")
                                     << ", background pixel " << std::hex << BackgroundPixel(main);
}

// Minimises and restores the window; true when the restore built the look again (a new
// background image).
bool RestoreRebuilds(HWND main) {
  const uintptr_t before = e2e::Property(main, kBackImage);
  ShowWindow(main, SW_MINIMIZE);
  Sleep(TimeLimit(300));
  ShowWindow(main, SW_RESTORE);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < TimeLimit(3000); Sleep(10)) {
    const uintptr_t now = e2e::Property(main, kBackImage);
    if (now && now != before) return true;
  }
  return false;
}

// What the main window and its two buttons went through, sampled every 20 ms from another
// thread, for a failure's message: each change with the milliseconds since the start.
class LookTimeline {
 public:
  LookTimeline(HWND main, HWND repair, HWND finish)
      : start_(GetTickCount()), sampler_([=, this] {
          while (!stop_) {
            Sample(main, repair, finish);
            Sleep(20);
          }
        }) {}
  ~LookTimeline() {
    stop_ = true;
    sampler_.join();
  }
  std::string str() const {
    const std::lock_guard lock(mutex_);
    return log_;
  }

 private:
  void Sample(HWND main, HWND repair, HWND finish) {
    if (const uintptr_t image = e2e::Property(main, kBackImage); image != background_)
      background_ = image, ++backgrounds_;
    const std::string now = "background " + std::to_string(backgrounds_) +
                            (IsWindow(repair) ? ", repair" : "") +
                            (!IsWindow(finish)         ? ", no finish"
                             : IsWindowEnabled(finish) ? ", finish enabled"
                                                       : ", finish disabled");
    if (now == last_) return;
    last_ = now;
    const std::lock_guard lock(mutex_);
    log_ += std::to_string(GetTickCount() - start_) + " ms: " + now + "\n";
  }

  const DWORD start_;
  uintptr_t background_ = 0;
  int backgrounds_ = 0;
  std::string last_;
  mutable std::mutex mutex_;
  std::string log_;
  std::atomic<bool> stop_ = false;
  std::thread sampler_;
};

TEST(RepairLifecycle, SkinFolderLooksAndRestoresDuringAndAfterTheRepair) {
  ASSERT_TRUE(PrepareRecordedRepair());
  NetmendRun run(Launch{.folder = "lifecycle",
                        .skinFiles = {{"background2.png", e2e::SolidPng(800, 580, kGreen)},
                                      {"button_repair.png", e2e::SolidPng(214, 56, kBlue)},
                                      {"button_end1.png", e2e::SolidPng(214, 56, kRed)},
                                      {"button_end2.png", e2e::SolidPng(215, 56, kGreen)},
                                      {"button_end3.png", e2e::SolidPng(215, 56, kBlue)}},
                        .windowsVersion = "win7",
                        .withDevcon = true});
  ASSERT_TRUE(run.WaitForWindows(30000));
  ASSERT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000));
  HWND repair = run.ChildAt(kRepair.x, kRepair.y);
  HWND finish = run.ChildAt(kFinish.x, kFinish.y);
  ASSERT_TRUE(repair && finish);

  e2e::PostClick(repair, 20, 20);
  const LookTimeline looks(run.main(), repair, finish);
  EXPECT_TRUE(CentreBecomes(repair, kBlue)) << "the busy picture from the skin folder";
  ASSERT_TRUE(RestoreRebuilds(run.main())) << "during the repair";
  const uintptr_t rebuilt = e2e::Property(run.main(), kBackImage);
  Sleep(TimeLimit(1000));
  EXPECT_EQ(e2e::Property(run.main(), kBackImage), rebuilt) << "built once";

  bool finished = false;
  for (const DWORD start = GetTickCount(); !(finished = !IsWindow(repair) && IsWindowEnabled(finish)) &&
                                           GetTickCount() - start < TimeLimit(25000);)
    Sleep(50);
  ASSERT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
  ASSERT_TRUE(finished) << "the finished look came; since the click:\n" << looks.str();
  EXPECT_TRUE(CentreBecomes(finish, kRed)) << "the end set from the skin folder";
  EXPECT_TRUE(FinishedLookShows(run.main(), finish)) << looks.str();
  PostMessageA(finish, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(CentreBecomes(finish, kGreen)) << "its hover picture";

  // After the repair a restore builds the start look, and the next tick the finished one again.
  EXPECT_TRUE(RestoreRebuilds(run.main())) << "after the repair";
  EXPECT_TRUE(FinishedLookShows(run.main(), finish)) << "back after the restore; since the click:\n"
                                                     << looks.str();

  const std::vector<std::string> expected = ExpectedWindows7List(run.folder());
  for (int i = 0; i < 300 && ReadRecords().size() < expected.size(); ++i) Sleep(100);
  e2e::PostClick(finish, 20, 20);
  EXPECT_EQ(run.Wait(TimeLimit(10000)), 0u);
  ExpectRecordedLines(ReadRecords(), expected);
}

// The close button and Esc while the worker issues the list: the program ends at once with
// code 0 (an error box would hold it open).
TEST(RepairLifecycle, CloseOrEscDuringTheRepairEndsWith0) {
  ASSERT_TRUE(PrepareRecordedRepair());
  for (const bool byEsc : {false, true}) {
    SCOPED_TRACE(byEsc ? "Esc" : "close button");
    ClearFolder(kRecordFolder);
    NetmendRun run(Launch{.folder = byEsc ? "esc-during-repair" : "close-during-repair",
                          .windowsVersion = "win7",
                          .withDevcon = true});
    ASSERT_TRUE(run.WaitForWindows(30000));
    ASSERT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000));
    HWND repair = run.ChildAt(kRepair.x, kRepair.y);
    HWND close = run.ChildAt(kClose.x, kClose.y);
    ASSERT_TRUE(repair && close);
    e2e::PostClick(repair, 20, 20);
    for (const DWORD start = GetTickCount();
         ReadRecords().empty() && GetTickCount() - start < TimeLimit(10000);)
      Sleep(20);
    ASSERT_FALSE(ReadRecords().empty()) << "the worker has started tools";
    if (byEsc)
      e2e::PostKey(run.main(), VK_ESCAPE);
    else
      e2e::PostClick(close, 10, 10);
    EXPECT_EQ(run.Wait(TimeLimit(10000)), 0u);
    // The tools it started are processes of their own and go on. (Whether each one ends is
    // Wine's: now and then one hangs at its start; the next test ends those left over.)
    WaitForStandInsToEnd(TimeLimit(10000));
  }
}

}  // namespace
