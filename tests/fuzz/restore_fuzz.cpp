// The restore of the saved hot key, fed any saved texts, then list selections of any index.
// Input: the "modifier" text, a newline, the "currentkey" text, a newline, then list indexes as
// 16-bit little-endian numbers.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "fakes/fake_platform.h"
#include "fuzz_check.h"
#include "hotkey/hot_key.h"
#include "settings/hot_key_settings.h"

namespace {

using namespace keyhush;

constexpr Handle kWindow = 0x500;

std::string_view NextLine(std::string_view& input) {
  const size_t end = input.find('\n');
  const std::string_view line = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return line;
}

int32_t ModifierNamed(const std::string& name) {
  for (int32_t flag : {MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN}) {
    if (name == ModifierName(flag)) return flag;
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string modifier(NextLine(input));
  const std::string key(NextLine(input));

  testing::FakePlatform platform;
  HotKey hotKey{platform, nullptr};
  HotKeySettings settings{platform, hotKey};
  platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] = modifier;
  platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}] = key;

  settings.RestoreSavedHotKey(kWindow);
  FUZZ_CHECK(platform.CallsTo("WriteSetting").empty());

  // One of three outcomes: the saved known modifier with the saved first character, the default
  // Win + X when nothing usable names a key, or nothing for a modifier that is none of the four.
  const int32_t flag = ModifierNamed(modifier);
  decltype(platform.hotKeys) expected;
  if (modifier.empty() || (flag && key.empty())) {
    expected[{kWindow, 1}] = {MOD_WIN, 'X'};
  } else if (flag) {
    expected[{kWindow, 1}] = {static_cast<uint32_t>(flag), static_cast<uint8_t>(key.front())};
  }
  FUZZ_CHECK(platform.hotKeys == expected);
  if (expected.empty()) FUZZ_CHECK(settings.HotKeyDisplayText() == " ");

  // Selections: at most one hot key is held after each, and what is saved is what is shown.
  while (input.size() >= 2) {
    const auto index =
        static_cast<int16_t>(static_cast<uint8_t>(input[0]) | static_cast<uint8_t>(input[1]) << 8);
    input.remove_prefix(2);
    const bool known = settings.ApplyHotKeyChoice(kWindow, index);
    FUZZ_CHECK(known == (index >= 0 && index < static_cast<int16_t>(hotKeyChoices.size())));
    FUZZ_CHECK(platform.hotKeys.size() == (known ? 1u : 0u));
    if (known) {
      const HotKeyChoice& choice = hotKeyChoices[static_cast<size_t>(index)];
      const auto& [held, keys] = *platform.hotKeys.begin();
      FUZZ_CHECK(held.first == kWindow);
      FUZZ_CHECK(keys == std::pair(static_cast<uint32_t>(choice.modifier),
                                   static_cast<uint32_t>(choice.keyCode)));
    }
    const std::string saved =
        platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] + " " +
        platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}];
    FUZZ_CHECK(saved == settings.HotKeyDisplayText());
  }
  return 0;
}
