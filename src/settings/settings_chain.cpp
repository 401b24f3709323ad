#include "settings/settings_chain.h"

#include "settings/settings_places.h"

namespace keyhush {

void SettingsChain::ReadPolicies() {
  policies_ = keyhush::ReadPolicies(platform_, autostart_.ExecutablePath());
  ApplyStartPolicy();
}

void SettingsChain::RefreshPolicies(Handle window) {
  const bool startWasDecided = DecidedStart().has_value();
  ReadPolicies();
  // Once nothing decides, the user's own choice holds: its Run value, its flag left as saved.
  if (startWasDecided && !DecidedStart()) autostart_.WriteRunValue(UserStartAtLogon());
  hotKey_.ApplyPolicy(window, policies_.hotKey);
}

void SettingsChain::ApplyStartPolicy() {
  // One copy starts at log-on: none from the user's entry beside the machine's. The user's own
  // flag stays as saved.
  if (const auto decided = DecidedStart())
    autostart_.WriteRunValue(*decided && !policies_.startedForEveryone);
}

void SettingsChain::SetStartAtLogon(bool wanted) {
  if (!DecidedStart()) autostart_.ApplyAutostart(wanted);
}

bool SettingsChain::TurnOffDisplays() {
  return policies_.turnOffDisplays ? *policies_.turnOffDisplays : UserTurnOffDisplays();
}

bool SettingsChain::UserTurnOffDisplays() {
  return platform_.ReadSetting(kHotKeyApplication, kConfigSection, kDisplaysOffKey) == "true";
}

void SettingsChain::SetTurnOffDisplays(bool wanted) {
  // Written only when it changes: showing the saved choice writes nothing.
  if (!policies_.turnOffDisplays && wanted != UserTurnOffDisplays())
    platform_.WriteSetting(kHotKeyApplication, kConfigSection, kDisplaysOffKey,
                           wanted ? "true" : "false");
}

}  // namespace keyhush
