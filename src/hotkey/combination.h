#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/platform.h"
#include "runtime/win32_constants.h"
#include "text_ids.h"

namespace keyhush {

// A hot key of the user's own: any of MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN with one
// virtual-key code. Its text form names the keys in English whatever the keyboard layout, so
// that a person, or an administrator's policy, can write it: "Ctrl+Alt+L", "F9".
struct HotKeyCombination {
  int32_t modifiers = 0;
  int16_t keyCode = 0;
  bool operator==(const HotKeyCombination&) const = default;
};

// The four modifiers in the order every text gives them, with their stored name, the English name
// the windows have always shown (which the list's saved modifier is), and the id of the name they
// show in the user's language.
struct ModifierNames {
  int32_t flag;
  std::string_view stored, shown;
  int textId;
};
inline constexpr std::array<ModifierNames, 4> kModifierNames{
    {{MOD_CONTROL, "Ctrl", "Ctrl", IDS_MOD_CTRL},
     {MOD_ALT, "Alt", "Alt", IDS_MOD_ALT},
     {MOD_SHIFT, "Shift", "Shift", IDS_MOD_SHIFT},
     {MOD_WIN, "Win", "Win Button", IDS_MOD_WIN}}};

// Whether two texts are the same letters, ignoring case (ASCII), as Windows compares names and
// paths.
bool SameLetters(std::string_view a, std::string_view b);

// The key's English name ("L", "F9", "PageUp"); "Key" and its code for a key without one.
std::string KeyName(int16_t keyCode);
// The modifier flag a modifier key's code stands for (left, right or either), else 0.
int32_t ModifierOfKey(int16_t keyCode);

// "Ctrl+Alt+L": the form kept in the registry.
std::string CombinationText(const HotKeyCombination& combination);
// "Ctrl + Alt + L", "Win Button + F9": the form the windows show, in the user's language ("Strg +
// Alt + L" in German). Modifiers without a key (a key code of 0) end in the separator:
// "Ctrl + Alt + ".
std::string CombinationDisplayText(const HotKeyCombination& combination, Platform& texts);
// Reads the stored form or the English shown one, in any case, with or without blanks around the
// "+"; the modifiers in any order, each once, then exactly one key. Nothing for a text that names
// no key.
std::optional<HotKeyCombination> ParseCombination(std::string_view text);

// Why the combination cannot be the hot key: the id of the sentence the user is shown, 0 when it
// can.
int RefusalReason(const HotKeyCombination& combination);

// A stored text that names a combination which can be used; nothing for any other text.
std::optional<HotKeyCombination> UsableCombination(std::string_view text);

}  // namespace keyhush
