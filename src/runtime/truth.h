#pragma once

#include <cstdint>

namespace keyhush {

// Truth values as they cross operations and live in module state: 16-bit, True is all bits set.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

}  // namespace keyhush
