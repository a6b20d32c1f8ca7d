// The runtime heap: every text, byte-set and array handed between runtime and application
// lives in it. Over an allocator seam (the process heap on Windows, malloc natively), with the
// program's constant block, whose values are used in place and never freed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace runtime {

class Allocator {
 public:
  virtual ~Allocator() = default;
  virtual void* Allocate(size_t bytes) = 0;  // nullptr on failure
  virtual void Release(void* block) = 0;
  virtual void* Reallocate(void* block, size_t bytes) = 0;  // nullptr on failure, block kept
};

// The malloc-backed allocator of native builds and tests.
Allocator& MallocAllocator();

Allocator& CurrentAllocator();
// Installs an allocator (nullptr restores the default); returns the previous one.
Allocator* InstallAllocator(Allocator* allocator);

// The program's constant block: values inside it are used in place.
void SetConstantBlock(const void* begin, size_t size);
bool InConstantBlock(const void* pointer);
// Bytes from the pointer to the end of the constant block (0 when outside it).
size_t ConstantBytesFrom(const void* pointer);

// A new block of n bytes, contents not zeroed. Failure is the runtime error
// "分配 n 字节内存失败!", or nullptr when softFailure is set.
void* Allocate(size_t bytes, bool softFailure = false);
// Nothing for nullptr or a pointer into the constant block.
void Free(void* block);
// nullptr behaves as Allocate. A constant is copied into a new block (at most up to the end of
// the constant block). Failure is a runtime error.
void* Resize(void* block, size_t bytes);

}  // namespace runtime
