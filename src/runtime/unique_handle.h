#pragma once

#include <concepts>
#include <utility>

namespace keyhush {

// Owns one handle and closes it with `Closer` when it goes; a null handle owns nothing. The one
// RAII type for handles in the program: Windows handles in the Windows layer, and registry keys
// the modules open through the platform.
template <typename T, typename Closer>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) requires std::default_initializable<Closer> : handle_(handle) {}
  UniqueHandle(T handle, Closer closer) : handle_(handle), closer_(std::move(closer)) {}
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, T{})), closer_(std::move(other.closer_)) {}
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
    if (handle_ != T{}) closer_(handle_);
    handle_ = handle;
  }

 private:
  T handle_{};
  [[no_unique_address]] Closer closer_{};
};

}  // namespace keyhush
