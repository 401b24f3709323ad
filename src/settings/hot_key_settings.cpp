#include "settings/hot_key_settings.h"

#include <algorithm>
#include <utility>

#include "settings/settings_places.h"

namespace keyhush {

namespace {

using ListEntry = std::pair<int32_t, int16_t>;

// The list entry a saved modifier name and key text stand for: Win + X for none saved, or for a
// known modifier without a key; nothing for another name.
std::optional<ListEntry> ListEntryNamed(const std::string& modifierName,
                                        const std::string& keyText) {
  constexpr ListEntry kDefault{MOD_WIN, 'X'};
  if (modifierName.empty()) return kDefault;
  for (const ModifierNames& names : kModifierNames) {
    if (modifierName != names.shown) continue;
    if (keyText.empty()) return kDefault;
    return ListEntry{names.flag, static_cast<uint8_t>(keyText.front())};
  }
  return std::nullopt;
}

}  // namespace

void HotKeySettings::RestoreSavedHotKey(Handle window,
                                        const std::optional<HotKeyCombination>& policy) {
  policy_ = policy;
  // A combination that cannot be used is left in the store as found, and the list entry holds.
  own_ =
      UsableCombination(platform_.ReadSetting(kHotKeyApplication, kConfigSection, kOwnHotKeyKey));
  if (!own_) {
    const std::string modifierText =
        platform_.ReadSetting(kHotKeyApplication, kConfigSection, kModifierKey);
    const std::string keyText =
        platform_.ReadSetting(kHotKeyApplication, kConfigSection, kCurrentKeyKey);
    if (const auto entry = ListEntryNamed(modifierText, keyText)) {
      if (!policy_) return hotKey_.SetHotKey(window, entry->first, entry->second);
      hotKey_.RememberHotKey(entry->first, entry->second);
    }
  }
  if (const auto& held = policy_ ? policy_ : own_) hotKey_.SetCombination(window, *held);
}

bool HotKeySettings::ApplyHotKeyChoice(Handle window, int16_t index) {
  hotKey_.ClearHotKey(window);
  // The list's choice replaces the user's own combination, also at the next start.
  if (std::exchange(own_, std::nullopt))
    platform_.DeleteSetting(kHotKeyApplication, kConfigSection, kOwnHotKeyKey);
  const bool known = index >= 0 && index < static_cast<int16_t>(hotKeyChoices.size());
  if (known) {
    const HotKeyChoice& choice = hotKeyChoices[static_cast<size_t>(index)];
    hotKey_.SetHotKey(window, choice.modifier, choice.keyCode);
  }
  SaveHotKeySettings();
  return known;
}

void HotKeySettings::ApplyOwnCombination(Handle window, const HotKeyCombination& combination) {
  hotKey_.ClearHotKey(window);
  own_ = combination;
  suspended_ = false;
  // A policy that came meanwhile still holds; the user's choice is saved for when it goes.
  RegisterActive(window);
  SaveHotKeySettings();
}

void HotKeySettings::SaveHotKeySettings() {
  // The list entry's two values stay as they are beside a combination of one's own, so that an
  // older copy of the program reading the same store still starts with the last list entry.
  if (own_) {
    platform_.WriteSetting(kHotKeyApplication, kConfigSection, kOwnHotKeyKey,
                           CombinationText(*own_));
    return;
  }
  platform_.WriteSetting(kHotKeyApplication, kConfigSection, kModifierKey,
                         hotKey_.currentModifierName());
  platform_.WriteSetting(kHotKeyApplication, kConfigSection, kCurrentKeyKey,
                         hotKey_.currentKeyText());
}

std::string HotKeySettings::HotKeyDisplayText() const {
  if (policy_) return CombinationDisplayText(*policy_, platform_);
  if (own_) return CombinationDisplayText(*own_, platform_);
  // The list entry's saved modifier is its English name.
  const std::string& modifier = hotKey_.currentModifierName();
  const auto* names = std::ranges::find(kModifierNames, modifier, &ModifierNames::shown);
  return (names == kModifierNames.end() ? modifier : platform_.Text(names->textId)) + " " +
         hotKey_.currentKeyText();
}

bool HotKeySettings::Refused() const {
  // Only a registration that was tried and refused counts; no hot key at all does not.
  return hotKey_.hotKeyCount() > 0 && !hotKey_.lastRegistrationSucceeded();
}

void HotKeySettings::SuspendHotKey(Handle window) {
  suspended_ = hotKey_.hotKeyCount() > 0;
  hotKey_.ClearHotKey(window);
}

void HotKeySettings::ResumeHotKey(Handle window) {
  if (std::exchange(suspended_, false)) RegisterActive(window);
}

void HotKeySettings::ApplyPolicy(Handle window, const std::optional<HotKeyCombination>& policy) {
  if (policy == policy_) return;
  policy_ = policy;
  // While suspended nothing is held: the new hot key is held when the user is done.
  if (suspended_) return;
  hotKey_.ClearHotKey(window);
  RegisterActive(window);
}

void HotKeySettings::RegisterActive(Handle window) {
  if (const auto& combination = policy_ ? policy_ : own_)
    return hotKey_.SetCombination(window, *combination);
  // No list entry was ever held (the saved one named no modifier): none is held now either.
  if (hotKey_.currentModifierName().empty()) return;
  if (const auto entry = ListEntryNamed(hotKey_.currentModifierName(), hotKey_.currentKeyText()))
    hotKey_.SetHotKey(window, entry->first, entry->second);
}

}  // namespace keyhush
