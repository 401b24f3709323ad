#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "runtime/platform.h"

namespace keyhush::win32 {

// Owns one Windows handle and closes it with `Closer` when it goes; a null handle owns nothing.
template <typename T, auto Closer>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, T{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, T{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T{}; }
  T release() { return std::exchange(handle_, T{}); }
  void reset(T handle = T{}) {
    if (handle_ != T{}) Closer(handle_);
    handle_ = handle;
  }

 private:
  T handle_{};
};

using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;
using UniqueKey = UniqueHandle<HKEY, ::RegCloseKey>;
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniquePen = UniqueHandle<HPEN, ::DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow>;

// The program's modules see handles as 32-bit values; on 32-bit Windows they are exactly that.
template <typename T>
T FromHandle(Handle handle) {
  return reinterpret_cast<T>(static_cast<uintptr_t>(handle));
}
template <typename T>
Handle ToHandle(T handle) {
  return static_cast<Handle>(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace keyhush::win32
