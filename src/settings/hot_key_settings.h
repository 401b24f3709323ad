#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hotkey/hot_key.h"
#include "runtime/platform.h"

namespace keyhush {

struct HotKeyChoice {
  const char* listText;
  int32_t modifier;
  int16_t keyCode;
};

// The ten hot keys the settings window offers, in the order of its list.
inline constexpr std::array<HotKeyChoice, 10> hotKeyChoices{{
    {"Ctrl + Y", MOD_CONTROL, 'Y'},
    {"Ctrl + K", MOD_CONTROL, 'K'},
    {"Ctrl + I", MOD_CONTROL, 'I'},
    {"Alt + X", MOD_ALT, 'X'},
    {"Alt + Y", MOD_ALT, 'Y'},
    {"Alt + Z", MOD_ALT, 'Z'},
    {"Shift + A", MOD_SHIFT, 'A'},
    {"Shift + B", MOD_SHIFT, 'B'},
    {"Shift + C", MOD_SHIFT, 'C'},
    {"Win Button + X", MOD_WIN, 'X'},
}};

// Where the chosen hot key is saved.
inline constexpr const char* kHotKeyApplication = "Key hush";
inline constexpr const char* kConfigSection = "config";
inline constexpr const char* kModifierKey = "modifier";
inline constexpr const char* kCurrentKeyKey = "currentkey";

// Restores, applies and saves the hot-key choice; the settings window calls it.
class HotKeySettings {
 public:
  HotKeySettings(Platform& platform, HotKey& hotKey) : platform_(platform), hotKey_(hotKey) {}

  // Registers the saved hot key on `window`, or Win + X when none is saved.
  void RestoreSavedHotKey(Handle window);
  // Clears the hot key, registers the entry at `index` if there is one, and saves.
  bool ApplyHotKeyChoice(Handle window, int16_t index);
  void SaveHotKeySettings();
  std::string HotKeyDisplayText() const;

 private:
  Platform& platform_;
  HotKey& hotKey_;
};

}  // namespace keyhush
