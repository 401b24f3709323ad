#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "hotkey/hot_key.h"
#include "runtime/platform.h"

namespace keyhush {

struct HotKeyChoice {
  int32_t modifier;
  int16_t keyCode;
};

// The ten hot keys the settings window offers, in the order of its list, which shows them as
// their combinations do ("Ctrl + Y").
inline constexpr std::array<HotKeyChoice, 10> hotKeyChoices{{
    {MOD_CONTROL, 'Y'},
    {MOD_CONTROL, 'K'},
    {MOD_CONTROL, 'I'},
    {MOD_ALT, 'X'},
    {MOD_ALT, 'Y'},
    {MOD_ALT, 'Z'},
    {MOD_SHIFT, 'A'},
    {MOD_SHIFT, 'B'},
    {MOD_SHIFT, 'C'},
    {MOD_WIN, 'X'},
}};

// The hot key, strongest choice first: an organisation's policy, the user's own combination, the
// user's list entry, Win + X. Restores, applies and saves the user's choices.
class HotKeySettings {
 public:
  HotKeySettings(Platform& platform, HotKey& hotKey) : platform_(platform), hotKey_(hotKey) {}

  // Holds the decided hot key on `window` with one registration: the policy's when one is set,
  // else a usable combination of the user's own, else the saved list entry, else Win + X when
  // none is saved. The user's choice is read either way, for when no policy sets one.
  void RestoreSavedHotKey(Handle window, const std::optional<HotKeyCombination>& policy = {});
  // Clears the hot key, registers the entry at `index` if there is one, and saves; a combination
  // of the user's own gives way to it, in the store too.
  bool ApplyHotKeyChoice(Handle window, int16_t index);
  // Clears the hot key, registers a combination of the user's own and saves it.
  void ApplyOwnCombination(Handle window, const HotKeyCombination& combination);
  // Saves the active choice: the user's own combination, or the list entry's two names.
  void SaveHotKeySettings();
  // The active hot key as the settings window shows it, in the user's language: "Win Button X"
  // for a list entry, "Ctrl + Alt + L" for a combination.
  std::string HotKeyDisplayText() const;
  // Whether the system refused the hot key last registered, as another program holds it.
  bool Refused() const;
  // While the user presses a new hot key, the one held must not lock: it is cleared, and held
  // again when the user cancels.
  void SuspendHotKey(Handle window);
  void ResumeHotKey(Handle window);
  // An organisation's hot key is held instead of the user's choice, which stays saved and is held
  // again once no policy sets one.
  void ApplyPolicy(Handle window, const std::optional<HotKeyCombination>& policy);

 private:
  // Registers the active choice: the policy's, else the user's own combination or list entry.
  void RegisterActive(Handle window);

  Platform& platform_;
  HotKey& hotKey_;
  std::optional<HotKeyCombination> own_;
  std::optional<HotKeyCombination> policy_;
  bool suspended_ = false;  // something was held when suspended
};

}  // namespace keyhush
