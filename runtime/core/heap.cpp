// The runtime heap.
#include "runtime/core/heap.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/core/errors.h"

namespace runtime {
namespace {

class CAllocator final : public Allocator {
 public:
  void* Allocate(size_t bytes) override { return std::malloc(bytes); }
  void Release(void* block) override { std::free(block); }
  void* Reallocate(void* block, size_t bytes) override { return std::realloc(block, bytes); }
};

CAllocator gMalloc;
std::atomic<Allocator*> gAllocator{&gMalloc};
std::atomic<const uint8_t*> gConstantBegin{nullptr};
std::atomic<const uint8_t*> gConstantEnd{nullptr};

[[noreturn]] void AllocationFailed(size_t bytes) {
  RuntimeErrorMessage("分配 " + std::to_string(bytes) + " 字节内存失败!");
}

}  // namespace

Allocator& MallocAllocator() { return gMalloc; }
Allocator& CurrentAllocator() { return *gAllocator.load(); }

Allocator* InstallAllocator(Allocator* allocator) {
  Allocator* previous = gAllocator.exchange(allocator ? allocator : &gMalloc);
  return previous == &gMalloc ? nullptr : previous;
}

void SetConstantBlock(const void* begin, size_t size) {
  auto* first = static_cast<const uint8_t*>(begin);
  gConstantBegin = first;
  gConstantEnd = first ? first + size : nullptr;
}

bool InConstantBlock(const void* pointer) {
  auto* p = static_cast<const uint8_t*>(pointer);
  const uint8_t* begin = gConstantBegin.load();
  return p && begin && std::less_equal<>()(begin, p) && std::less<>()(p, gConstantEnd.load());
}

size_t ConstantBytesFrom(const void* pointer) {
  if (!InConstantBlock(pointer)) return 0;
  return static_cast<size_t>(gConstantEnd.load() - static_cast<const uint8_t*>(pointer));
}

void* Allocate(size_t bytes, bool softFailure) {
  // A zero-byte request still gets a block of its own, as the process heap gives one.
  void* block = CurrentAllocator().Allocate(std::max<size_t>(bytes, 1));
  if (!block && !softFailure) AllocationFailed(bytes);
  return block;
}

void Free(void* block) {
  if (!block || InConstantBlock(block)) return;
  CurrentAllocator().Release(block);
}

void* Resize(void* block, size_t bytes) {
  if (!block) return Allocate(bytes);
  if (InConstantBlock(block)) {
    void* copy = Allocate(bytes);
    std::memcpy(copy, block, std::min(bytes, ConstantBytesFrom(block)));
    return copy;
  }
  void* moved = CurrentAllocator().Reallocate(block, std::max<size_t>(bytes, 1));
  if (!moved) AllocationFailed(bytes);
  return moved;
}

}  // namespace runtime
