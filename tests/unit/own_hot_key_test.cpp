#include <gtest/gtest.h>

#include <cstdlib>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "hotkey/combination.h"
#include "hotkey/hot_key.h"
#include "settings/form_settings.h"
#include "settings/frm_new_hot_key.h"

namespace keyhush::testing {
namespace {

// Stored texts and why the combination each names cannot be used ("" when it can). What the
// rules let through is what a stored value or a policy may hold.
TEST(Combination, StoredTextsReadAsACombinationAndItsReason) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"",
       {"Ctrl+Alt+L", "Win Button + F24", "Pause", "mediaplaypause", "Shift+ScrollLock", "Alt+Num0",
        "Ctrl+Alt+Enter", "Win+Oem102"}},
      {"A key that types or moves the cursor needs Ctrl, Alt or Win.", {"Q", "Space", "Num5"}},
      {"Shift alone would lock as you type: add Ctrl, Alt or Win.", {"Shift+A", "Shift+Left"}},
      {"Windows keeps F12 for debuggers: choose another key.", {"F12", "Ctrl+Shift+F12"}},
      {"Win Button + L already locks the workstation.", {"Win+L", "Ctrl+Win+L"}},
      {"Windows keeps Ctrl + Alt + Delete for itself.", {"Ctrl+Alt+Delete"}},
      {"This key cannot be part of a hot key.", {"Alt+Tab", "Ctrl+Esc", "Ctrl+CapsLock"}}};
  for (const auto& [reason, texts] : cases)
    for (const std::string& text : texts) {
      const auto combination = ParseCombination(text);
      ASSERT_TRUE(combination) << text;
      EXPECT_EQ(RefusalReason(*combination), reason) << text;
      EXPECT_EQ(UsableCombination(text).has_value(), reason.empty()) << text;
    }
  EXPECT_EQ(CombinationDisplayText(*ParseCombination(" win + shift + f9 ")),
            "Shift + Win Button + F9");
  for (const std::string& text : std::initializer_list<std::string>{
           "", " ", "+", "Ctrl", "Ctrl+", "Ctrl++L", "Ctrl+Alt+NoSuchKey", "L+Ctrl", "Ctrl+Ctrl+L",
           "Ctrl+L+M", "F0", "F25", "F01", "Num10", "Key65", "Ctrl+Alt+L\t+",
           std::string(300, 'x')})
    EXPECT_FALSE(ParseCombination(text)) << "\"" << text << "\" names a key";
  // Every key with a name reads back from its stored text, with any modifiers.
  for (int16_t code = 1; code < 256; ++code)
    for (int32_t modifiers : {0, MOD_WIN, MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_WIN}) {
      if (KeyName(code).starts_with("Key")) continue;
      const HotKeyCombination combination{modifiers, code};
      EXPECT_EQ(ParseCombination(CombinationText(combination)), combination) << code;
    }
}

// Keys pressed in the new hot key's window (positive down, negative up) and what it then shows:
// the combination, and whether OK takes it.
TEST(NewHotKeyWindow, ShowsEachCombinationAsPressedAndKeepsTheLastWholeOne) {
  constexpr int kCtrl = 0xA2, kRightCtrl = 0xA3, kAlt = 0xA4, kShift = 0xA0, kF9 = 0x78;
  const std::tuple<std::vector<int>, std::string, bool> cases[] = {
      {{}, "", false},
      {{kCtrl, kAlt}, "Ctrl + Alt + ", false},
      {{kCtrl, kAlt, 'L', -'L', -kAlt, -kCtrl}, "Ctrl + Alt + L", true},
      {{kCtrl, 'L', -'L', -kCtrl, kAlt, -kAlt}, "Ctrl + L", true},
      {{kCtrl, kRightCtrl, -kCtrl, 'K', kRightCtrl}, "Ctrl + K", true},
      {{kShift, 'Q', -'Q', -kShift}, "Shift + Q", false},
      {{kF9, -kF9, 0x0D}, "F9", true},  // Enter alone takes it
      {{0x0D}, "Enter", false},
  };
  for (const auto& [keys, shown, usable] : cases) {
    FakePlatform platform;
    HeadlessWindows windows;
    Program program{platform, windows};
    FormSettings& settings = program.settingsWindow();
    frmNewHotKey& window = program.newHotKeyWindow();
    settings.Command5_Click();
    ASSERT_TRUE(platform.hotKeys.empty()) << "Win + X held while a new one is pressed";
    for (int key : keys)
      key > 0 ? window.NotifyKeyDown(static_cast<int16_t>(key))
              : window.NotifyKeyUp(static_cast<int16_t>(-key));
    const bool taken = !window.Loaded();
    EXPECT_EQ(taken ? settings.Label2.Text() : window.lblHotKey.Text(), shown);
    EXPECT_EQ(taken || window.cmdOK.Enabled(), usable) << shown;
    if (taken) {
      EXPECT_EQ(platform.hotKeys.begin()->second, std::pair(0x4000u, 0x78u));
    }
    // Esc alone gives back the hot key held before.
    for (int key : keys) window.NotifyKeyUp(static_cast<int16_t>(std::abs(key)));
    window.NotifyKeyDown(0x1B);
    ASSERT_FALSE(window.Loaded()) << shown;
    EXPECT_EQ(platform.hotKeys.begin()->second,
              taken ? std::pair(0x4000u, 0x78u) : std::pair(8u, 88u))
        << shown;
  }
}

}  // namespace
}  // namespace keyhush::testing
