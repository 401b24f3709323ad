#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/win32_constants.h"

namespace keyhush {

// A hot key of the user's own: any of MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN with one
// virtual-key code. Its text form names the keys in English whatever the keyboard layout, so
// that a person, or an administrator's policy, can write it: "Ctrl+Alt+L", "F9".
struct HotKeyCombination {
  int32_t modifiers = 0;
  int16_t keyCode = 0;
  bool operator==(const HotKeyCombination&) const = default;
};

// The four modifiers in the order every text gives them, with their stored name and the name
// the windows show.
struct ModifierNames {
  int32_t flag;
  std::string_view stored, shown;
};
inline constexpr std::array<ModifierNames, 4> kModifierNames{{{MOD_CONTROL, "Ctrl", "Ctrl"},
                                                              {MOD_ALT, "Alt", "Alt"},
                                                              {MOD_SHIFT, "Shift", "Shift"},
                                                              {MOD_WIN, "Win", "Win Button"}}};

// Whether two texts are the same letters, ignoring case (ASCII), as Windows compares names and
// paths.
bool SameLetters(std::string_view a, std::string_view b);

// The key's English name ("L", "F9", "PageUp"); "Key" and its code for a key without one.
std::string KeyName(int16_t keyCode);
// The modifier flag a modifier key's code stands for (left, right or either), else 0.
int32_t ModifierOfKey(int16_t keyCode);

// "Ctrl+Alt+L": the form kept in the registry.
std::string CombinationText(const HotKeyCombination& combination);
// "Ctrl + Alt + L", "Win Button + F9": the form the settings window's list uses. Modifiers
// without a key (a key code of 0) end in the separator: "Ctrl + Alt + ".
std::string CombinationDisplayText(const HotKeyCombination& combination);
// Reads either form, in any case, with or without blanks around the "+"; the modifiers in any
// order, each once, then exactly one key. Nothing for a text that names no key.
std::optional<HotKeyCombination> ParseCombination(std::string_view text);

// Why the combination cannot be the hot key, as a sentence the user is shown; empty when it can.
std::string RefusalReason(const HotKeyCombination& combination);

// A stored text that names a combination which can be used; nothing for any other text.
std::optional<HotKeyCombination> UsableCombination(std::string_view text);

}  // namespace keyhush
