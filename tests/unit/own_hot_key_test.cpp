#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "hotkey/combination.h"
#include "hotkey/hot_key.h"
#include "hotkey/key_side.h"
#include "runtime/texts.h"
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
      const int refused = RefusalReason(*combination);
      EXPECT_EQ(refused ? FakePlatform().Text(refused) : "", reason) << text;
      EXPECT_EQ(UsableCombination(text).has_value(), reason.empty()) << text;
    }
  FakePlatform english;
  EXPECT_EQ(CombinationDisplayText(*ParseCombination(" win + shift + f9 "), english),
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

// A key message's code and lParam (scan code, extended-key flag, repeat count and transition
// bits) and the code the hook gives for the same key: a key-up that comes as a message, after
// Windows dropped the hook, releases the modifier the window holds.
TEST(KeyCapture, MessagesNameLeftAndRightModifiersAsTheHookDoes) {
  const std::tuple<int16_t, uint32_t, int16_t> cases[] = {
      {0x11, 0x001D0001, 0xA2}, {0x11, 0xC11D0001, 0xA3}, {0x12, 0x20380001, 0xA4},
      {0x12, 0xE1380001, 0xA5}, {0x10, 0xC02A0001, 0xA0}, {0x10, 0xC0360001, 0xA1},
      {0xA3, 0x001D0001, 0xA3}, {'L', 0x01260001, 'L'},   {0x2E, 0x01530001, 0x2E}};
  for (const auto& [code, keyData, sided] : cases)
    EXPECT_EQ(SidedKeyCode(code, keyData), sided) << code << " " << keyData;
}

// The user's interface language and the table read, of English, German, Portuguese (Brazil) and
// the two Chinese: that one, the same language elsewhere (Chinese by script), else English.
TEST(Texts, TheLanguageOrItsRegionalTableOrEnglish) {
  constexpr uint16_t tables[] = {0x0409, 0x0407, 0x0416, 0x0804, 0x0404};
  constexpr uint16_t cases[][2] = {{0x0407, 0x0407}, {0x0C07, 0x0407}, {0x0816, 0x0416},
                                   {0x0809, 0x0409}, {0x0413, 0x0409}, {0x0C04, 0x0404},
                                   {0x1404, 0x0404}, {0x7C04, 0x0404}, {0x1004, 0x0804},
                                   {0x0004, 0x0804}, {0x0404, 0x0404}};
  for (const auto& [wanted, read] : cases)
    EXPECT_EQ(ChooseLanguage(wanted, tables), read) << std::hex << wanted;
  EXPECT_EQ(Filled("%2 vor %1, 100%", "%2", "B"), "B vor %2, 100%");
}

}  // namespace
}  // namespace keyhush::testing
