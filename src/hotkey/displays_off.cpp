#include "hotkey/displays_off.h"

#include <algorithm>
#include <utility>

#include "runtime/win32_constants.h"

namespace keyhush {

void DisplaysOff::Pressed(Handle window, uint32_t modifiers, uint32_t keyCode) {
  if (!wanted_()) return;
  // Registered on the first press that wants it: nothing to hear while the option is off, and
  // by then the session service has long been running.
  if (!registered_) registered_ = platform_.RegisterSessionNotification(window);
  if (!registered_) return;
  keys_ = {static_cast<int32_t>(keyCode & 0xFF)};
  for (const auto& [flag, key] : {std::pair{MOD_CONTROL, VK_CONTROL},
                                  {MOD_ALT, VK_MENU},
                                  {MOD_SHIFT, VK_SHIFT},
                                  {MOD_WIN, VK_LWIN},
                                  {MOD_WIN, VK_RWIN}}) {
    if (modifiers & static_cast<uint32_t>(flag)) keys_.push_back(key);
  }
  Stop(window);
  state_ = State::AwaitingLock;
  since_ = platform_.GetTickCount();
}

void DisplaysOff::OnMessage(Handle window, uint32_t message, uintptr_t wParam) {
  if (message == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_LOCK) {
    // Only a lock soon after Key hush's own press is Key hush's.
    if (state_ != State::AwaitingLock) return;
    if (platform_.GetTickCount() - since_ > kLockWithin) return Stop(window);
    state_ = State::AwaitingKeysUp;
    since_ = platform_.GetTickCount();
    LookAtKeys(window);
  } else if (message == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK) {
    Stop(window);
  } else if (message == WM_TIMER && wParam == kTimerId && state_ == State::AwaitingKeysUp) {
    LookAtKeys(window);
  }
}

void DisplaysOff::LookAtKeys(Handle window) {
  const bool held =
      std::ranges::any_of(keys_, [&](int32_t key) { return platform_.KeyIsDown(key); });
  if (!held) {
    Stop(window);
    platform_.SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorOff);
  } else if (platform_.GetTickCount() - since_ > kKeysWithin) {
    // Keys held so long are not the hot key's any more.
    Stop(window);
  } else if (!timing_) {
    timing_ = platform_.SetTimer(window, kTimerId, kLookEvery);
    // Without a timer there is no waiting.
    if (!timing_) Stop(window);
  }
}

void DisplaysOff::Stop(Handle window) {
  if (std::exchange(timing_, false)) platform_.KillTimer(window, kTimerId);
  state_ = State::Idle;
}

}  // namespace keyhush
