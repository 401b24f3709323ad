#pragma once

#include <optional>

#include "hotkey/hot_key.h"
#include "runtime/platform.h"
#include "settings/autostart.h"
#include "settings/hot_key_settings.h"
#include "settings/policies.h"

namespace keyhush {

// What holds for each setting, strongest source first: the computer's policy, the user's policy,
// the user's own choice, the default. Outside every window: the settings window shows what it
// decides and hands it the user's choices.
class SettingsChain {
 public:
  SettingsChain(Platform& platform, HotKey& hotKey)
      : platform_(platform), hotKey_(platform, hotKey), autostart_(platform) {}

  // Reads the policies, and writes or removes the log-on entry as they decide.
  void ReadPolicies();
  // Holds the decided hot key on `window`, with one registration.
  void HoldHotKey(Handle window) { hotKey_.RestoreSavedHotKey(window, policies_.hotKey); }
  // The policies were refreshed: reads them again and holds what they now decide.
  void RefreshPolicies(Handle window);
  const Policies& policies() const { return policies_; }
  HotKeySettings& hotKey() { return hotKey_; }
  const HotKeySettings& hotKey() const { return hotKey_; }

  // Start at log-on: as decided, else the user's saved choice. The user's choice is saved only
  // while nothing else decides.
  std::optional<bool> DecidedStart() const { return policies_.DecidedStart(); }
  bool UserStartAtLogon() { return autostart_.ReadStartupFlag(); }
  void SetStartAtLogon(bool wanted);

  // Turning the displays off on a lock: the policy's, else the user's saved choice; off by
  // default and for any saved text but "true".
  bool TurnOffDisplays();
  bool UserTurnOffDisplays();
  void SetTurnOffDisplays(bool wanted);

 private:
  void ApplyStartPolicy();

  Platform& platform_;
  HotKeySettings hotKey_;
  Autostart autostart_;
  Policies policies_;
};

}  // namespace keyhush
