#include "hotkey/hot_key.h"

#include <limits>

#include "hotkey/form1.h"
#include "runtime/error.h"
#include "runtime/texts.h"

namespace keyhush {

std::string ModifierName(int32_t modifier) {
  for (const ModifierNames& names : kModifierNames)
    if (names.flag == modifier) return std::string(names.shown);
  return {};
}

HotKey::HotKey(Platform& platform, std::function<Form1&()> lockWindow,
               std::function<bool()> turnOffDisplays)
    : platform_(platform),
      lockWindow_(std::move(lockWindow)),
      displaysOff_(platform, std::move(turnOffDisplays)) {}

void HotKey::SetHotKey(Handle window, const int32_t& modifier, const int16_t& keyCode) {
  HookWindow(window);
  RegisterNextHotKey(window, modifier, keyCode);
  RememberHotKey(modifier, keyCode);
}

void HotKey::RememberHotKey(int32_t modifier, int16_t keyCode) {
  if (auto name = ModifierName(modifier); !name.empty()) currentModifierName_ = std::move(name);
  currentKeyText_ = std::string(1, static_cast<char>(static_cast<uint8_t>(keyCode)));
}

void HotKey::SetCombination(Handle window, const HotKeyCombination& combination) {
  HookWindow(window);
  RegisterNextHotKey(window, combination.modifiers | MOD_NOREPEAT, combination.keyCode);
}

int16_t HotKey::RegisterNextHotKey(Handle window, int32_t modifier, int16_t keyCode) {
  if (hotKeyCount_ == std::numeric_limits<int16_t>::max()) throw RuntimeError(kErrOverflow);
  ++hotKeyCount_;
  heldModifiers_ = static_cast<uint32_t>(modifier);
  heldKey_ = static_cast<uint32_t>(static_cast<uint8_t>(keyCode));
  lastRegistrationSucceeded_ =
      platform_.RegisterHotKey(window, hotKeyCount_, static_cast<uint32_t>(modifier),
                               static_cast<uint32_t>(static_cast<int32_t>(keyCode)));
  return hotKeyCount_;
}

void HotKey::UnregisterAllHotKeys(Handle window) {
  const int16_t bound = hotKeyCount_;
  for (int32_t id = 1; id <= bound; ++id) platform_.UnregisterHotKey(window, id);
  hotKeyCount_ = 0;
}

void HotKey::HookWindow(Handle window) {
  if (isHooked_ == -1) return;
  const ProcAddress previous =
      platform_.SetWindowLongA(window, GWL_WNDPROC, platform_.AddressOf(*this));
  // A refused replacement leaves the window's own procedure in place: nothing to restore later.
  if (previous == 0) return;
  previousWindowProc_ = previous;
  isHooked_ = -1;
}

void HotKey::UnhookWindow(Handle window) {
  if (isHooked_ == 0) return;
  platform_.SetWindowLongA(window, GWL_WNDPROC, previousWindowProc_);
  isHooked_ = 0;
}

void HotKey::ClearHotKey(Handle window) {
  UnhookWindow(window);
  UnregisterAllHotKeys(window);
}

intptr_t HotKey::HotKeyWindowProc(Handle window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) {
  const intptr_t result =
      platform_.CallWindowProcA(previousWindowProc_, window, message, wParam, lParam);
  if (message == WM_HOTKEY) {
    displaysOff_.Pressed(window, heldModifiers_, heldKey_);
    OnHotKeyPressed();
  } else {
    displaysOff_.OnMessage(window, message, wParam);
  }
  return result;
}

intptr_t HotKey::Call(Handle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return HotKeyWindowProc(window, message, wParam, lParam);
}

void HotKey::OnHotKeyPressed() {
  Form1& form = lockWindow_();
  try {
    form.Command1_Click();
  } catch (const RuntimeError& error) {
    platform_.MsgBox(platform_.Text(IDS_LOCK_FAILED) + "\n\n" + error.text(platform_) + " " +
                         Filled(platform_.Text(IDS_ERROR_NUMBER), std::to_string(error.number())),
                     MessageKind::Error);
  }
}

}  // namespace keyhush
