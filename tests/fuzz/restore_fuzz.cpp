// The restore of the saved hot key, fed any saved texts, then list selections of any index.
// Input: the "hotkey" text (a combination of the user's own), the "modifier" text and the
// "currentkey" text, each ended by a newline, then list indexes as 16-bit little-endian numbers.
#include <cassert>
#include <optional>
#include <string>
#include <string_view>

#include "fakes/fake_platform.h"
#include "hotkey/hot_key.h"
#include "settings/hot_key_settings.h"
#include "settings/settings_places.h"

using namespace keyhush;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr Handle kWindow = 0x500;
  testing::FakePlatform platform;
  HotKey hotKey{platform, nullptr};
  HotKeySettings settings{platform, hotKey};
  const std::tuple<std::string, std::string, std::string> ownKey{kHotKeyApplication, kConfigSection,
                                                                 kOwnHotKeyKey};
  std::string& own = platform.settings[ownKey];
  auto& modifier = platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}];
  auto& key = platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}];
  std::string_view input(reinterpret_cast<const char*>(data), size);
  for (std::string* saved : {&own, &modifier, &key}) {
    const size_t end = std::min(input.find('\n'), input.size());
    *saved = input.substr(0, end);
    input.remove_prefix(std::min(end + 1, input.size()));
  }
  settings.RestoreSavedHotKey(kWindow);
  assert(platform.CallsTo("WriteSetting").empty());

  // A usable combination of one's own, held without repeats; else one of three outcomes: the saved
  // known modifier with the saved first character, the default Win + X when nothing usable names
  // a key, or nothing for a modifier that is none of the four.
  const std::optional<HotKeyCombination> usable = UsableCombination(own);
  int32_t flag = 0;
  for (int32_t known : {MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN})
    if (modifier == ModifierName(known)) flag = known;
  decltype(platform.hotKeys) expected;
  if (usable)
    expected[{kWindow, 1}] = {static_cast<uint32_t>(usable->modifiers | MOD_NOREPEAT),
                              static_cast<uint16_t>(usable->keyCode)};
  else if (modifier.empty() || (flag && key.empty()))
    expected[{kWindow, 1}] = {MOD_WIN, 'X'};
  else if (flag)
    expected[{kWindow, 1}] = {static_cast<uint32_t>(flag), static_cast<uint8_t>(key.front())};
  assert(platform.hotKeys == expected);
  assert(!expected.empty() || settings.HotKeyDisplayText() == " ");
  assert(!usable || settings.HotKeyDisplayText() == CombinationDisplayText(*usable, platform));

  // Selections: at most one hot key is held after each, and what is saved is what is shown.
  for (; input.size() >= 2; input.remove_prefix(2)) {
    const auto index =
        static_cast<int16_t>(static_cast<uint8_t>(input[0]) | static_cast<uint8_t>(input[1]) << 8);
    const bool known = settings.ApplyHotKeyChoice(kWindow, index);
    assert(known == (index >= 0 && index < static_cast<int16_t>(hotKeyChoices.size())));
    assert(platform.hotKeys.size() == (known ? 1u : 0u));
    if (known) {
      const HotKeyChoice& choice = hotKeyChoices[static_cast<size_t>(index)];
      assert(platform.hotKeys.begin()->first.first == kWindow);
      assert(platform.hotKeys.begin()->second == std::pair(static_cast<uint32_t>(choice.modifier),
                                                           static_cast<uint32_t>(choice.keyCode)));
    }
    assert(modifier + " " + key == settings.HotKeyDisplayText());
    // The list's choice replaces one's own, in the store too; anything else is left as found.
    assert(platform.settings.count(ownKey) == (usable ? 0u : 1u));
  }
  return 0;
}
