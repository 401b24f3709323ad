#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "runtime/platform.h"

namespace keyhush {

// A run-time error: a number and a description in the user's language. An empty description
// stands for the standard description of the number.
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int32_t number, std::string description = {});

  int32_t number() const { return number_; }
  // The description as raised: empty when the error stands for the standard one.
  const std::string& description() const { return description_; }
  // The description a user is shown: the raised one, or the standard one for the number.
  std::string text(Platform& texts) const;

 private:
  int32_t number_;
  std::string description_;
};

// The id of the standard description of a run-time error number ("Overflow" for 6, ...).
int StandardDescriptionId(int32_t number);

// Well-known error numbers.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrOutOfMemory = 7;
inline constexpr int32_t kErrTypeMismatch = 13;
inline constexpr int32_t kErrFileNotFound = 53;

}  // namespace keyhush
