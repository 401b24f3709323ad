#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"
#include "runtime/unique_handle.h"

namespace keyhush {

// One registry key opened through the platform and closed when it goes. Every value is read with
// the same checks: no larger than the program reads, of the type asked for.
class RegistryKey {
 public:
  struct Value {
    uint32_t type = 0;
    std::vector<uint8_t> data;
  };
  // Values larger than this are not the program's: they read as absent.
  static constexpr uint32_t kLargestValue = 1024;

  // An existing key opened with `access`; a key that cannot be opened reads nothing.
  RegistryKey(Platform& platform, Handle root, const std::string& subKey, uint32_t access);
  // The key, made first when absent (RegCreateKeyA).
  static RegistryKey Create(Platform& platform, Handle root, const std::string& subKey);

  explicit operator bool() const { return static_cast<bool>(key_); }

  std::optional<Value> Read(const std::string& name) const;
  // A REG_SZ value's text, ending at its first NUL as Windows reads it.
  std::optional<std::string> Text(const std::string& name) const;
  // A REG_DWORD value of exactly four bytes.
  std::optional<uint32_t> Number(const std::string& name) const;
  void Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data);
  void Delete(const std::string& name);

 private:
  struct Closer {
    Platform* platform;
    void operator()(Handle key) const { platform->RegCloseKey(key); }
  };
  RegistryKey(Platform& platform, Handle opened) : platform_(platform), key_(opened, {&platform}) {}

  Platform& platform_;
  UniqueHandle<Handle, Closer> key_;
};

}  // namespace keyhush
