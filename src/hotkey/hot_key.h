#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "hotkey/combination.h"
#include "hotkey/displays_off.h"
#include "runtime/platform.h"
#include "runtime/win32_constants.h"

namespace keyhush {

class Form1;

// Binds the system-wide hot key to one window of the program: registers it there and hooks the
// window's procedure, so that its WM_HOTKEY runs the lock action.
class HotKey : public WindowProcedure {
 public:
  // `lockWindow` gives the hidden window that locks, creating it on first use; `turnOffDisplays`
  // says whether the displays go off once a press has locked the session.
  HotKey(
      Platform& platform, std::function<Form1&()> lockWindow,
      std::function<bool()> turnOffDisplays = [] { return false; });

  void SetHotKey(Handle window, const int32_t& modifier, const int16_t& keyCode);
  // The names SetHotKey records, without registering: the list entry the user chose, kept while
  // a stronger choice is held.
  void RememberHotKey(int32_t modifier, int16_t keyCode);
  // A combination of the user's own: registered as SetHotKey does, but once per press however
  // long the key is held, and the names of the ten list entries' state are left as they are.
  void SetCombination(Handle window, const HotKeyCombination& combination);
  void ClearHotKey(Handle window);
  intptr_t HotKeyWindowProc(Handle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  int16_t RegisterNextHotKey(Handle window, int32_t modifier, int16_t keyCode);
  void UnregisterAllHotKeys(Handle window);
  void HookWindow(Handle window);
  void UnhookWindow(Handle window);
  void OnHotKeyPressed();

  const std::string& currentModifierName() const { return currentModifierName_; }
  const std::string& currentKeyText() const { return currentKeyText_; }
  int16_t hotKeyCount() const { return hotKeyCount_; }
  int16_t isHooked() const { return isHooked_; }
  ProcAddress previousWindowProc() const { return previousWindowProc_; }
  // Whether the system accepted the registration of the latest SetHotKey.
  bool lastRegistrationSucceeded() const { return lastRegistrationSucceeded_; }

 private:
  intptr_t Call(Handle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  Platform& platform_;
  std::function<Form1&()> lockWindow_;
  DisplaysOff displaysOff_;
  std::string currentModifierName_;
  std::string currentKeyText_;
  int16_t hotKeyCount_ = 0;
  int16_t isHooked_ = 0;
  ProcAddress previousWindowProc_ = 0;
  bool lastRegistrationSucceeded_ = false;
  // The keys of the hot key registered last: the ones a press holds down.
  uint32_t heldModifiers_ = 0, heldKey_ = 0;
};

// The display name of a modifier flag; empty for anything but the four single flags.
std::string ModifierName(int32_t modifier);

}  // namespace keyhush
