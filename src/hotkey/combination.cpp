#include "hotkey/combination.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace keyhush {

namespace {

// What a key does on its own, which decides what it may be combined with.
enum class KeyKind {
  Typing,  // types or moves the cursor: usable only with Ctrl, Alt or Win
  Free,    // types nothing that programs need: usable alone
  Never,   // Windows' own, or a lock key that toggles: never part of a hot key
};

struct NamedKey {
  int16_t code;
  std::string_view name;
  KeyKind kind;
  int textId = 0;  // the name keyboards print in the user's language; 0: the English one
};

constexpr int16_t kF1 = 0x70, kF12 = 0x7B, kF24 = 0x87, kNum0 = 0x60, kDelete = 0x2E;

// The keys with a name of their own; letters, digits, F1 to F24 and Num0 to Num9 are named by
// rule. The punctuation keys are named after what they type on a US keyboard.
constexpr auto kNamedKeys = std::to_array<NamedKey>({
    {0x08, "Backspace", KeyKind::Typing, IDS_KEY_BACKSPACE},
    {0x09, "Tab", KeyKind::Never, IDS_KEY_TAB},
    {0x0D, "Enter", KeyKind::Typing, IDS_KEY_ENTER},
    {0x13, "Pause", KeyKind::Free, IDS_KEY_PAUSE},
    {0x14, "CapsLock", KeyKind::Never, IDS_KEY_CAPSLOCK},
    {0x1B, "Esc", KeyKind::Never, IDS_KEY_ESC},
    {0x20, "Space", KeyKind::Typing, IDS_KEY_SPACE},
    {0x21, "PageUp", KeyKind::Typing, IDS_KEY_PAGEUP},
    {0x22, "PageDown", KeyKind::Typing, IDS_KEY_PAGEDOWN},
    {0x23, "End", KeyKind::Typing, IDS_KEY_END},
    {0x24, "Home", KeyKind::Typing, IDS_KEY_HOME},
    {0x25, "Left", KeyKind::Typing, IDS_KEY_LEFT},
    {0x26, "Up", KeyKind::Typing, IDS_KEY_UP},
    {0x27, "Right", KeyKind::Typing, IDS_KEY_RIGHT},
    {0x28, "Down", KeyKind::Typing, IDS_KEY_DOWN},
    {0x2C, "PrintScreen", KeyKind::Never, IDS_KEY_PRINTSCREEN},
    {0x2D, "Insert", KeyKind::Typing, IDS_KEY_INSERT},
    {kDelete, "Delete", KeyKind::Typing, IDS_KEY_DELETE},
    {0x5D, "Apps", KeyKind::Never, IDS_KEY_APPS},
    {0x6A, "NumMultiply", KeyKind::Typing},
    {0x6B, "NumAdd", KeyKind::Typing},
    {0x6D, "NumSubtract", KeyKind::Typing},
    {0x6E, "NumDecimal", KeyKind::Typing},
    {0x6F, "NumDivide", KeyKind::Typing},
    {0x90, "NumLock", KeyKind::Never, IDS_KEY_NUMLOCK},
    {0x91, "ScrollLock", KeyKind::Free, IDS_KEY_SCROLLLOCK},
    {0xA6, "BrowserBack", KeyKind::Free},
    {0xA7, "BrowserForward", KeyKind::Free},
    {0xA8, "BrowserRefresh", KeyKind::Free},
    {0xA9, "BrowserStop", KeyKind::Free},
    {0xAA, "BrowserSearch", KeyKind::Free},
    {0xAB, "BrowserFavorites", KeyKind::Free},
    {0xAC, "BrowserHome", KeyKind::Free},
    {0xAD, "VolumeMute", KeyKind::Free},
    {0xAE, "VolumeDown", KeyKind::Free},
    {0xAF, "VolumeUp", KeyKind::Free},
    {0xB0, "MediaNext", KeyKind::Free},
    {0xB1, "MediaPrevious", KeyKind::Free},
    {0xB2, "MediaStop", KeyKind::Free},
    {0xB3, "MediaPlayPause", KeyKind::Free},
    {0xB4, "LaunchMail", KeyKind::Free},
    {0xB5, "LaunchMedia", KeyKind::Free},
    {0xB6, "LaunchApp1", KeyKind::Free},
    {0xB7, "LaunchApp2", KeyKind::Free},
    {0xBA, "Semicolon", KeyKind::Typing},
    {0xBB, "Equals", KeyKind::Typing},
    {0xBC, "Comma", KeyKind::Typing},
    {0xBD, "Minus", KeyKind::Typing},
    {0xBE, "Period", KeyKind::Typing},
    {0xBF, "Slash", KeyKind::Typing},
    {0xC0, "Backquote", KeyKind::Typing},
    {0xDB, "LeftBracket", KeyKind::Typing},
    {0xDC, "Backslash", KeyKind::Typing},
    {0xDD, "RightBracket", KeyKind::Typing},
    {0xDE, "Quote", KeyKind::Typing},
    {0xE2, "Oem102", KeyKind::Typing},
});

std::optional<KeyKind> KindOf(int16_t code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return KeyKind::Typing;
  if (code >= kNum0 && code <= kNum0 + 9) return KeyKind::Typing;
  if (code >= kF1 && code <= kF24) return KeyKind::Free;
  const auto* found = std::ranges::find(kNamedKeys, code, &NamedKey::code);
  if (found == kNamedKeys.end()) return std::nullopt;
  return found->kind;
}

// "N" for a number of one or two digits from `first` to `last`; nothing otherwise.
std::optional<int> SmallNumber(std::string_view digits, int first, int last) {
  if (digits.empty() || digits.size() > 2 || (digits.front() == '0' && digits.size() > 1)) {
    return std::nullopt;
  }
  int number = 0;
  for (char digit : digits) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + (digit - '0');
  }
  if (number < first || number > last) return std::nullopt;
  return number;
}

std::optional<int16_t> KeyNamed(std::string_view name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name.front()))) {
    return static_cast<int16_t>(std::toupper(static_cast<unsigned char>(name.front())));
  }
  if (SameLetters(name.substr(0, 1), "F")) {
    if (auto number = SmallNumber(name.substr(1), 1, 24))
      return static_cast<int16_t>(kF1 + *number - 1);
  }
  if (SameLetters(name.substr(0, 3), "Num")) {
    if (auto number = SmallNumber(name.substr(3), 0, 9))
      return static_cast<int16_t>(kNum0 + *number);
  }
  for (const NamedKey& key : kNamedKeys)
    if (SameLetters(name, key.name)) return key.code;
  return std::nullopt;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The stored form without `texts`, the shown one with them.
std::string Joined(const HotKeyCombination& combination, Platform* texts) {
  std::string text;
  const std::string_view separator = texts ? " + " : "+";
  for (const ModifierNames& modifier : kModifierNames) {
    if (combination.modifiers & modifier.flag) {
      text += texts ? texts->Text(modifier.textId) : std::string(modifier.stored);
      text += separator;
    }
  }
  // Modifiers alone, as while they are being pressed, end in the separator.
  if (combination.keyCode == 0) return text;
  const auto* named = std::ranges::find(kNamedKeys, combination.keyCode, &NamedKey::code);
  if (texts && named != kNamedKeys.end() && named->textId != 0)
    return text + texts->Text(named->textId);
  return text + KeyName(combination.keyCode);
}

}  // namespace

bool SameLetters(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string KeyName(int16_t code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
    return std::string(1, static_cast<char>(code));
  if (code >= kNum0 && code <= kNum0 + 9) return "Num" + std::to_string(code - kNum0);
  if (code >= kF1 && code <= kF24) return "F" + std::to_string(code - kF1 + 1);
  const auto* found = std::ranges::find(kNamedKeys, code, &NamedKey::code);
  if (found != kNamedKeys.end()) return std::string(found->name);
  return "Key" + std::to_string(code);
}

int32_t ModifierOfKey(int16_t code) {
  switch (code) {
    case 0x10:  // VK_SHIFT
    case 0xA0:  // VK_LSHIFT
    case 0xA1:  // VK_RSHIFT
      return MOD_SHIFT;
    case 0x11:  // VK_CONTROL
    case 0xA2:  // VK_LCONTROL
    case 0xA3:  // VK_RCONTROL
      return MOD_CONTROL;
    case 0x12:  // VK_MENU
    case 0xA4:  // VK_LMENU
    case 0xA5:  // VK_RMENU
      return MOD_ALT;
    case 0x5B:  // VK_LWIN
    case 0x5C:  // VK_RWIN
      return MOD_WIN;
    default:
      return 0;
  }
}

std::string CombinationText(const HotKeyCombination& combination) {
  return Joined(combination, nullptr);
}

std::string CombinationDisplayText(const HotKeyCombination& combination, Platform& texts) {
  return Joined(combination, &texts);
}

std::optional<HotKeyCombination> ParseCombination(std::string_view text) {
  HotKeyCombination combination;
  bool keyNamed = false;
  for (size_t start = 0;;) {
    const size_t plus = text.find('+', start);
    const std::string_view part = Trimmed(text.substr(start, plus - start));
    // Nothing may follow the key, and no part may be empty ("Ctrl+", "Ctrl++L").
    if (keyNamed || part.empty()) return std::nullopt;
    const auto* modifier = std::ranges::find_if(kModifierNames, [&](const ModifierNames& known) {
      return SameLetters(part, known.stored) || SameLetters(part, known.shown);
    });
    if (modifier != kModifierNames.end()) {
      if (combination.modifiers & modifier->flag) return std::nullopt;
      combination.modifiers |= modifier->flag;
    } else if (const auto key = KeyNamed(part)) {
      combination.keyCode = *key;
      keyNamed = true;
    } else {
      return std::nullopt;
    }
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  if (!keyNamed) return std::nullopt;
  return combination;
}

int RefusalReason(const HotKeyCombination& combination) {
  constexpr int32_t kAllModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
  const std::optional<KeyKind> kind = KindOf(combination.keyCode);
  if (!kind || *kind == KeyKind::Never || (combination.modifiers & ~kAllModifiers))
    return IDS_REFUSE_NEVER;
  if (combination.keyCode == kF12) return IDS_REFUSE_F12;
  if ((combination.modifiers & MOD_WIN) && combination.keyCode == 'L') return IDS_REFUSE_WIN_L;
  if ((combination.modifiers & (MOD_CONTROL | MOD_ALT)) == (MOD_CONTROL | MOD_ALT) &&
      combination.keyCode == kDelete) {
    return IDS_REFUSE_CTRL_ALT_DEL;
  }
  if (*kind == KeyKind::Typing && !(combination.modifiers & (MOD_CONTROL | MOD_ALT | MOD_WIN)))
    return combination.modifiers & MOD_SHIFT ? IDS_REFUSE_SHIFT_ALONE : IDS_REFUSE_TYPING;
  return 0;
}

std::optional<HotKeyCombination> UsableCombination(std::string_view text) {
  const auto combination = ParseCombination(text);
  if (!combination || RefusalReason(*combination) != 0) return std::nullopt;
  return combination;
}

}  // namespace keyhush
