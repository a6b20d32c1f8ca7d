// The owners of Windows resources in base/: each releases what it holds once, a move hands it
// over, and a move-assignment releases what the target held before.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstring>
#include <utility>

#include "base/handles_win.h"

namespace {

bool IsOpen(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(BaseOwners, KernelHandleIsClosedOnceAndByMoveAssignment) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(first && second);
  {
    base::KernelHandle held(first);
    base::KernelHandle other(second);
    held = std::move(other);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_TRUE(IsOpen(second));
    EXPECT_FALSE(other);
    const base::KernelHandle moved(std::move(held));
    EXPECT_EQ(moved.get(), second);
  }
  EXPECT_FALSE(IsOpen(second));
  // What CreateFile gives for no file is no handle either.
  EXPECT_FALSE(base::KernelHandle(INVALID_HANDLE_VALUE));
}

TEST(BaseOwners, ComReferenceIsReleasedOnceAndByMoveAssignment) {
  IStream* first = nullptr;
  IStream* second = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &first), S_OK);
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &second), S_OK);
  first->AddRef();
  second->AddRef();
  {
    base::ComPtr<IStream> held(first);
    base::ComPtr<IStream> other(second);
    held = std::move(other);  // gives up its reference to the first stream
    EXPECT_EQ(first->Release(), 0u);
  }
  EXPECT_EQ(second->Release(), 0u);
}

TEST(BaseOwners, GlobalBlockHoldsACopy) {
  const uint8_t bytes[] = {7, 8, 9};
  const base::GlobalBlock block = base::GlobalBlock::CopyOf(bytes, sizeof bytes);
  ASSERT_TRUE(block);
  const base::GlobalLockGuard lock(block.get());
  ASSERT_NE(lock.data(), nullptr);
  EXPECT_EQ(std::memcmp(lock.data(), bytes, sizeof bytes), 0);
  // An empty block is still a block (a growing stream starts from one); nothing locks no block.
  EXPECT_TRUE(base::GlobalBlock::CopyOf(bytes, 0));
  EXPECT_EQ(base::GlobalLockGuard(nullptr).data(), nullptr);
}

}  // namespace
