// Owners of kernel handles, find handles, registry keys, icons, loaded libraries, global
// memory blocks and COM references: one move-only type per acquire/release pair, with
// move-assignment so that they can be members.
#pragma once

#include <windows.h>

#include <cstring>
#include <utility>

namespace base {

// A handle closed once by Traits::Close; Traits::Valid tells a handle worth closing.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::None()); }
  void reset(Handle handle = Traits::None()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }
  // For a routine that hands a new handle back through a pointer; the old one is closed first.
  Handle* out() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::None();
};

// CloseHandle. Both null and INVALID_HANDLE_VALUE mean no handle (CreateFile gives the one,
// CreateThread and CreateEvent the other).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// FindFirstFile / FindClose.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { FindClose(handle); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// RegOpenKeyEx, RegCreateKeyEx / RegCloseKey.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle None() { return nullptr; }
  static bool Valid(Handle key) { return key != nullptr; }
  static void Close(Handle key) { RegCloseKey(key); }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// CopyIcon, CreateIconIndirect / DestroyIcon.
struct IconTraits {
  using Handle = HICON;
  static Handle None() { return nullptr; }
  static bool Valid(Handle icon) { return icon != nullptr; }
  static void Close(Handle icon) { DestroyIcon(icon); }
};
using Icon = UniqueHandle<IconTraits>;

// LoadLibrary / FreeLibrary.
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle None() { return nullptr; }
  static bool Valid(Handle module) { return module != nullptr; }
  static void Close(Handle module) { FreeLibrary(module); }
};
using Module = UniqueHandle<ModuleTraits>;

// GlobalAlloc / GlobalFree.
struct GlobalBlockTraits {
  using Handle = HGLOBAL;
  static Handle None() { return nullptr; }
  static bool Valid(Handle memory) { return memory != nullptr; }
  static void Close(Handle memory) { GlobalFree(memory); }
};

class GlobalBlock : public UniqueHandle<GlobalBlockTraits> {
 public:
  GlobalBlock() = default;
  explicit GlobalBlock(HGLOBAL memory) : UniqueHandle(memory) {}

  // A movable block holding a copy of `size` bytes; empty when it could not be made or locked.
  static GlobalBlock CopyOf(const void* data, size_t size) {
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block || size == 0) return block;
    void* at = GlobalLock(block.get());
    if (!at) return GlobalBlock();
    std::memcpy(at, data, size);
    GlobalUnlock(block.get());
    return block;
  }
};

// GlobalLock / GlobalUnlock; data() is null when the block could not be locked.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(memory_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

// A COM reference released once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T* release() { return std::exchange(p_, nullptr); }
  void reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  // For a routine that hands a new reference back through a pointer; the old one is released.
  T** out() {
    reset();
    return &p_;
  }
  // The same, as the void** that QueryInterface-style routines take.
  void** outVoid() { return reinterpret_cast<void**>(out()); }

 private:
  T* p_ = nullptr;
};

}  // namespace base
