// Heap entry points and the constant block.
#include "runtime/core/heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/recording_platform.h"

using namespace runtime;
using testing_support::ExitCodeOf;
using testing_support::RecordingPlatform;

namespace {

// An allocator that fails on request and counts releases.
class FailingAllocator final : public Allocator {
 public:
  FailingAllocator() { previous_ = InstallAllocator(this); }
  ~FailingAllocator() override { InstallAllocator(previous_); }
  void* Allocate(size_t bytes) override { return fail ? nullptr : MallocAllocator().Allocate(bytes); }
  void Release(void* block) override {
    ++released;
    MallocAllocator().Release(block);
  }
  void* Reallocate(void* block, size_t bytes) override {
    return fail ? nullptr : MallocAllocator().Reallocate(block, bytes);
  }
  bool fail = false;
  int released = 0;

 private:
  Allocator* previous_;
};

class ConstantBlock : public ::testing::Test {
 protected:
  void SetUp() override { SetConstantBlock(block_, sizeof block_); }
  void TearDown() override { SetConstantBlock(nullptr, 0); }
  uint8_t block_[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
};

TEST_F(ConstantBlock, PointersInsideAreNeverFreed) {
  FailingAllocator allocator;
  Free(block_);
  Free(block_ + 15);
  Free(nullptr);
  EXPECT_EQ(allocator.released, 0);
  EXPECT_EQ(block_[0], 1);
  EXPECT_TRUE(InConstantBlock(block_ + 15));
  EXPECT_FALSE(InConstantBlock(block_ + 16)) << "one past the end is outside";
}

TEST_F(ConstantBlock, ResizingCopiesIntoANewBlockUpToTheEnd) {
  // Grown: the bytes up to the end of the block are copied, the rest is the caller's.
  auto* grown = static_cast<uint8_t*>(Resize(block_ + 12, 32));
  ASSERT_FALSE(InConstantBlock(grown));
  EXPECT_EQ(std::vector<uint8_t>(grown, grown + 4), (std::vector<uint8_t>{13, 14, 15, 16}));
  Free(grown);
  // Shrunk: only the new size is copied.
  auto* shrunk = static_cast<uint8_t*>(Resize(block_, 3));
  EXPECT_EQ(std::vector<uint8_t>(shrunk, shrunk + 3), (std::vector<uint8_t>{1, 2, 3}));
  Free(shrunk);
  EXPECT_EQ(block_[0], 1);
}

TEST(Heap, ResizeKeepsContentsAndNullAllocates) {
  auto* block = static_cast<char*>(Resize(nullptr, 4));
  std::memcpy(block, "abcd", 4);
  block = static_cast<char*>(Resize(block, 4096));
  EXPECT_EQ(std::string(block, 4), "abcd");
  Free(block);
  void* zero = Allocate(0);
  EXPECT_NE(zero, nullptr) << "a zero-byte request still gets a block of its own";
  Free(zero);
}

TEST(Heap, FailureIsARuntimeErrorUnlessSoft) {
  RecordingPlatform platform;
  FailingAllocator allocator;
  allocator.fail = true;
  EXPECT_EQ(Allocate(100, /*softFailure=*/true), nullptr);
  EXPECT_TRUE(platform.boxes.empty());

  EXPECT_EQ(ExitCodeOf([] { Allocate(100); }), -1);
  EXPECT_EQ(ExitCodeOf([] { Resize(nullptr, 7); }), -1);
  allocator.fail = false;
  void* block = Allocate(8);
  allocator.fail = true;
  EXPECT_EQ(ExitCodeOf([&] { Resize(block, 12345); }), -1);
  allocator.fail = false;
  Free(block);

  ASSERT_EQ(platform.boxes.size(), 3u);
  EXPECT_EQ(platform.boxes[0].text, "运行时出错!\r\n\r\n错误信息：分配 100 字节内存失败!\r\n");
  EXPECT_EQ(platform.boxes[1].text, "运行时出错!\r\n\r\n错误信息：分配 7 字节内存失败!\r\n");
  EXPECT_EQ(platform.boxes[2].text, "运行时出错!\r\n\r\n错误信息：分配 12345 字节内存失败!\r\n");
  EXPECT_EQ(platform.boxes[0].title, "错误");
}

}  // namespace
