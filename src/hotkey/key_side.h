#pragma once

#include <cstdint>

namespace keyhush {

// The key a key message names, with Shift, Ctrl and Alt told left from right as the low-level
// keyboard hook tells them. The messages name both sides alike and leave the side to `keyData`,
// the message's lParam: the scan code in bits 16 to 23 (Shift) and the extended-key flag in
// bit 24 (Ctrl, Alt). Every other key, and one already told, comes back as it is.
int16_t SidedKeyCode(int16_t keyCode, uint32_t keyData);

}  // namespace keyhush
