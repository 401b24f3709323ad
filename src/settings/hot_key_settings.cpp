#include "settings/hot_key_settings.h"

namespace keyhush {

void HotKeySettings::RestoreSavedHotKey(Handle window) {
  const std::string modifierText =
      platform_.ReadSetting(kHotKeyApplication, kConfigSection, kModifierKey);
  const std::string keyText =
      platform_.ReadSetting(kHotKeyApplication, kConfigSection, kCurrentKeyKey);
  const int32_t defaultModifier = MOD_WIN;
  const int16_t defaultKey = 'X';
  if (modifierText.empty()) {
    hotKey_.SetHotKey(window, defaultModifier, defaultKey);
    return;
  }
  for (int32_t modifier : {MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN}) {
    if (modifierText != ModifierName(modifier)) continue;
    // A known modifier without a key is no usable choice: fall back to the default.
    if (keyText.empty()) {
      hotKey_.SetHotKey(window, defaultModifier, defaultKey);
      return;
    }
    const int16_t keyCode = static_cast<uint8_t>(keyText.front());
    hotKey_.SetHotKey(window, modifier, keyCode);
  }
}

bool HotKeySettings::ApplyHotKeyChoice(Handle window, int16_t index) {
  hotKey_.ClearHotKey(window);
  const bool known = index >= 0 && index < static_cast<int16_t>(hotKeyChoices.size());
  if (known) {
    const HotKeyChoice& choice = hotKeyChoices[static_cast<size_t>(index)];
    hotKey_.SetHotKey(window, choice.modifier, choice.keyCode);
  }
  SaveHotKeySettings();
  return known;
}

void HotKeySettings::SaveHotKeySettings() {
  platform_.WriteSetting(kHotKeyApplication, kConfigSection, kModifierKey,
                         hotKey_.currentModifierName());
  platform_.WriteSetting(kHotKeyApplication, kConfigSection, kCurrentKeyKey,
                         hotKey_.currentKeyText());
}

std::string HotKeySettings::HotKeyDisplayText() const {
  return hotKey_.currentModifierName() + " " + hotKey_.currentKeyText();
}

}  // namespace keyhush
