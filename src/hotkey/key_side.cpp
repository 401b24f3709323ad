#include "hotkey/key_side.h"

namespace keyhush {

namespace {

constexpr int16_t VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12;
constexpr int16_t VK_LSHIFT = 0xA0, VK_LCONTROL = 0xA2, VK_LMENU = 0xA4;
constexpr uint32_t kRightShiftScanCode = 0x36;

}  // namespace

int16_t SidedKeyCode(int16_t keyCode, uint32_t keyData) {
  const uint32_t scanCode = (keyData >> 16) & 0xFF;
  const bool extended = (keyData >> 24) & 1;
  // Each right-hand code follows its left-hand one.
  switch (keyCode) {
    case VK_SHIFT:
      return VK_LSHIFT + (scanCode == kRightShiftScanCode ? 1 : 0);
    case VK_CONTROL:
      return VK_LCONTROL + (extended ? 1 : 0);
    case VK_MENU:
      return VK_LMENU + (extended ? 1 : 0);
    default:
      return keyCode;
  }
}

}  // namespace keyhush
