// The image ledger: an image is disposed exactly once, only when no property holds it, no
// drawing uses it and its owner has given it up, also when threads race.
#include "skin/image_ledger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <utility>

namespace skin {
namespace {

std::map<uintptr_t, int> gDisposed;
std::map<uintptr_t, uintptr_t> gKeptAlive;
void Record(uintptr_t image, uintptr_t keepAlive) {
  ++gDisposed[image];
  gKeptAlive[image] = keepAlive;
}

class ImageLedgerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gDisposed.clear();
    gKeptAlive.clear();
  }
  // A property slot: stores the image, returns the one it held.
  bool Store(uintptr_t* slot, uintptr_t image) {
    return ledger.Replace(image, [&](uintptr_t* previous) {
      *previous = *slot;
      *slot = image;
      return true;
    });
  }
  ImageLedger ledger{Record};
};

TEST_F(ImageLedgerTest, AnImageGivenUpIsDisposedOnceItIsReplacedWithItsBytes) {
  uintptr_t slot = 0;
  ledger.Register(10, 99);
  Store(&slot, 10);
  ledger.Release(10);
  EXPECT_TRUE(gDisposed.empty()) << "still held by the property";
  EXPECT_TRUE(ledger.InUse(10));
  Store(&slot, 10);  // storing it again changes nothing
  Store(&slot, 11);
  EXPECT_EQ(gDisposed[10], 1);
  EXPECT_EQ(gKeptAlive[10], 99u);
  EXPECT_FALSE(ledger.InUse(10));
}

TEST_F(ImageLedgerTest, TheOwnersImageIsNeverDisposedUntilGivenUp) {
  uintptr_t slot = 0;
  ledger.Register(20, 1);
  Store(&slot, 20);
  Store(&slot, 0);
  EXPECT_TRUE(gDisposed.empty());
  ledger.Release(20);  // no longer held: at once
  EXPECT_EQ(gDisposed[20], 1);
  ledger.Release(21);  // never held, never registered: disposed at once as well
  EXPECT_EQ(gDisposed[21], 1);
}

TEST_F(ImageLedgerTest, ADrawingKeepsAReplacedImageUntilItEnds) {
  uintptr_t slot = 0;
  Store(&slot, 30);
  ledger.Release(30);
  const uintptr_t drawn = ledger.Pin([&] { return slot; });
  EXPECT_EQ(drawn, 30u);
  Store(&slot, 31);
  EXPECT_TRUE(gDisposed.empty()) << "disposed while being drawn";
  ledger.Unpin(drawn);
  EXPECT_EQ(gDisposed[30], 1);
}

TEST_F(ImageLedgerTest, TwoPropertiesHoldingOneImageAndADeadWindow) {
  uintptr_t a = 0, b = 0;
  Store(&a, 40);
  Store(&b, 40);
  ledger.Release(40);
  Store(&a, 0);
  EXPECT_TRUE(gDisposed.empty());
  ledger.Drop([&] { return std::exchange(b, 0); });
  EXPECT_EQ(gDisposed[40], 1);
  // A store that fails (the window is gone) holds nothing.
  ledger.Replace(41, [](uintptr_t*) { return false; });
  ledger.Release(41);
  EXPECT_EQ(gDisposed[41], 1);
  EXPECT_EQ(ledger.TrackedCount(), 0u);
}

TEST_F(ImageLedgerTest, AWorkerReplacingWhileAnotherThreadDrawsNeverDisposesADrawnImage) {
  std::atomic<uintptr_t> slot{0};
  std::atomic<bool> done{false};
  std::atomic<int> disposedWhileDrawn{0};
  static std::atomic<uintptr_t> gDrawing{0};
  static std::atomic<int>* gBad = nullptr;
  gBad = &disposedWhileDrawn;
  ImageLedger ledger([](uintptr_t image, uintptr_t) {
    if (gDrawing.load() == image) ++*gBad;
  });
  std::thread worker([&] {
    for (uintptr_t image = 1; image <= 20000; ++image) {
      ledger.Replace(image, [&](uintptr_t* previous) {
        *previous = slot.exchange(image);
        return true;
      });
      ledger.Release(image);
    }
    done = true;
  });
  while (!done) {
    const uintptr_t image = ledger.Pin([&] { return slot.load(); });
    gDrawing = image;
    std::this_thread::yield();
    gDrawing = 0;
    ledger.Unpin(image);
  }
  worker.join();
  EXPECT_EQ(disposedWhileDrawn.load(), 0);
  EXPECT_EQ(ledger.TrackedCount(), 1u) << "only the image still held is left";
}

TEST_F(ImageLedgerTest, AnImageReleasedTwiceIsDisposedOnceAndADisposedOrphansBytesGoWithItsHandle) {
  uintptr_t slot = 0;
  ledger.Register(50, 7);
  Store(&slot, 50);
  ledger.Release(50);
  Store(&slot, 0);
  ledger.Release(50);
  EXPECT_EQ(gDisposed[50], 1);
  // The owner disposed image 60 itself; GDI+ hands the handle out again for a new image.
  ledger.Register(60, 8);
  ledger.Register(60, 9);
  EXPECT_EQ(gKeptAlive[0], 8u) << "the first image's bytes";
  EXPECT_EQ(gDisposed.count(60), 0u);
  ledger.Release(60);
  EXPECT_EQ(gKeptAlive[60], 9u);
}

TEST(ImageLedgerLock, AWaiterGivesTheProcessorUpWhileAnotherThreadHoldsTheLock) {
  static std::atomic<int> yields{0};
  ImageLedger ledger([](uintptr_t, uintptr_t) {}, [] { ++yields; });
  std::atomic<bool> holding{false};
  std::thread holder([&] {
    ledger.Replace(1, [&](uintptr_t* previous) {
      holding = true;
      for (long i = 0; i < 100000000 && yields < 10; ++i) std::this_thread::yield();
      *previous = 0;
      return true;
    });
  });
  while (!holding) std::this_thread::yield();
  EXPECT_TRUE(ledger.InUse(1)) << "waited for the holder";
  holder.join();
  EXPECT_GE(yields.load(), 10);
}

}  // namespace
}  // namespace skin
