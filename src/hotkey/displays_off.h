#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "runtime/platform.h"

namespace keyhush {

// Turns the displays off after Key hush's own press has locked the session: when Windows reports
// the session locked within 10 s of the press, and once every key of the hot key is up (their
// release would wake the displays again). Only its own window is told, never every window. A lock
// by other means, or none at all, turns nothing off. While it waits for the keys it looks every
// 50 ms, for 5 s at most; the rest of the time nothing runs.
class DisplaysOff {
 public:
  static constexpr uint32_t kLockWithin = 10000;  // ms from the press
  static constexpr uint32_t kKeysWithin = 5000;   // ms from the lock
  static constexpr uint32_t kLookEvery = 50;      // ms
  static constexpr uintptr_t kTimerId = 1;

  // `wanted` says, at each press, whether the user (or a policy) wants it.
  DisplaysOff(Platform& platform, std::function<bool()> wanted)
      : platform_(platform), wanted_(std::move(wanted)) {}

  // The hot key (its MOD_* flags and key, as WM_HOTKEY reports them) was pressed on `window`
  // and the lock is about to start.
  void Pressed(Handle window, uint32_t modifiers, uint32_t keyCode);
  // Every message of that window.
  void OnMessage(Handle window, uint32_t message, uintptr_t wParam);

 private:
  enum class State { Idle, AwaitingLock, AwaitingKeysUp };
  void LookAtKeys(Handle window);
  void Stop(Handle window);

  Platform& platform_;
  std::function<bool()> wanted_;
  bool registered_ = false;
  bool timing_ = false;
  State state_ = State::Idle;
  uint32_t since_ = 0;  // the press, then the lock
  std::vector<int32_t> keys_;
};

}  // namespace keyhush
