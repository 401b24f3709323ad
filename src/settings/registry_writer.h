#pragma once

#include <cstdint>
#include <string>

#include "runtime/platform.h"
#include "runtime/win32_constants.h"

namespace keyhush {

// Writes and removes single registry values. Nothing is reported to the caller: a value that
// cannot be written is simply not there.
class modRegistry {
 public:
  explicit modRegistry(Platform& platform) : platform_(platform) {}

  // Creates `subKey` below `root` if needed and sets one typed value in it. `valueData` is the
  // value's text form; empty text touches nothing. Types other than 1, 2, 3, 4 and 7 only create
  // the key.
  void WriteRegistryValue(Handle root, const std::string& subKey, const std::string& valueName,
                          int32_t valueType, const std::string& valueData);
  // Removes a value if the key holds it; creates nothing when the key or the value is absent.
  void DeleteRegistryValue(Handle root, const std::string& subKey, const std::string& valueName);

 private:
  Platform& platform_;
};

}  // namespace keyhush
