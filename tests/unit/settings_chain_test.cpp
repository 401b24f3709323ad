#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "settings/form_settings.h"
#include "settings/frm_new_hot_key.h"
#include "settings/settings_places.h"

namespace keyhush::testing {
namespace {

using Held = std::vector<std::pair<uint32_t, uint32_t>>;  // (modifiers, key) of each held hot key

FakePlatform::Value Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return {REG_SZ, bytes};
}
FakePlatform::Value Number(uint32_t number, size_t size = 4) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size && i < 4; ++i) bytes[i] = static_cast<uint8_t>(number >> (8 * i));
  return {REG_DWORD, bytes};
}

Held HeldHotKeys(const FakePlatform& platform) {
  Held held;
  for (const auto& [where, combination] : platform.hotKeys) held.push_back(combination);
  return held;
}

// The computer's and the user's policy values, and what the program then decides: the hot key
// shown, start at log-on and turning the displays off ('-' where the user decides).
TEST(SettingsChain, PoliciesDecideTheComputersFirstAndOnlyUsableValues) {
  const std::string kPolicy = std::string("\\") + kPolicyKeyPath;
  struct Case {
    std::map<std::string, FakePlatform::Value> machine, user;
    std::string hotKey;
    char start, displays;
  };
  const Case cases[] = {
      {{}, {}, "Win Button X", '-', '-'},
      {{{"HotKey", Text("Ctrl+Alt+L")}}, {{"HotKey", Text("Alt+K")}}, "Ctrl + Alt + L", '-', '-'},
      {{{"HotKey", Text("Q")}}, {{"HotKey", Text("Alt+K")}}, "Alt + K", '-', '-'},
      {{{"HotKey", Number(1)}}, {}, "Win Button X", '-', '-'},
      {{{"StartAtLogon", Number(0)}, {"TurnOffDisplays", Number(1)}},
       {{"StartAtLogon", Number(1)}, {"TurnOffDisplays", Number(0)}},
       "Win Button X",
       '0',
       '1'},
      {{{"StartAtLogon", Number(2)}, {"TurnOffDisplays", Number(1, 8)}},
       {{"TurnOffDisplays", Text("1")}},
       "Win Button X",
       '-',
       '-'},
      {{}, {{"StartAtLogon", Number(1)}, {"TurnOffDisplays", Number(0)}}, "Win Button X", '1', '0'},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    HeadlessWindows windows;
    if (!c.machine.empty()) platform.registry["HKLM" + kPolicy] = c.machine;
    if (!c.user.empty()) platform.registry["HKCU" + kPolicy] = c.user;
    Program program{platform, windows};
    program.Start();
    const Policies& policies = program.settings().policies();
    const auto shown = [](const std::optional<bool>& value) {
      return value ? (*value ? '1' : '0') : '-';
    };
    EXPECT_EQ(program.settings().hotKey().HotKeyDisplayText(), c.hotKey);
    EXPECT_EQ(shown(policies.DecidedStart()), c.start) << c.hotKey;
    EXPECT_EQ(shown(policies.turnOffDisplays), c.displays) << c.hotKey;
    // What a policy decides is never written into the user's own choices.
    EXPECT_TRUE(platform.CallsTo("WriteSetting").empty());
  }
}

// Under a policy the program registers the policy's hot key once at start, not the user's first;
// the user's choice is held again when the policy goes.
TEST(SettingsChain, APolicyHotKeyIsTheOneRegistrationAtStart) {
  FakePlatform platform;
  HeadlessWindows windows;
  platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] = "Alt";
  platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}] = "Z";
  platform.registry[std::string("HKLM\\") + kPolicyKeyPath]["HotKey"] = Text("Ctrl+Alt+L");
  Program program{platform, windows};
  program.Start();
  ASSERT_EQ(platform.CallsTo("RegisterHotKey").size(), 1u);
  EXPECT_EQ(HeldHotKeys(platform), (Held{{MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'L'}}));
  platform.registry.clear();
  program.settingsWindow().NotifyPoliciesChanged();
  EXPECT_EQ(HeldHotKeys(platform), (Held{{MOD_ALT, 'Z'}}));
}

// "Other..." lets go of the hot key while the new one is pressed; how its window ends decides
// what is held afterwards. Saved: what the store holds at start ("" for nothing usable).
TEST(SettingsChain, TheNewHotKeyWindowGivesBackOnlyWhatWasHeld) {
  enum class End { Cancel, Ok, NotShown };
  struct Case {
    std::string modifier;
    End end;
    Held held;
    bool noEntryChosen = false;
  };
  const Case cases[] = {
      {"Alt", End::Cancel, {{MOD_ALT, 'Z'}}},
      {"Alt", End::NotShown, {{MOD_ALT, 'Z'}}},
      {"Alt", End::Ok, {{MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'L'}}},
      // A saved modifier the program does not know holds nothing, nor does a list choice of no
      // entry ("Alt" then -1): Cancel then holds nothing either.
      {"Hyper", End::Cancel, {}},
      {"Hyper", End::NotShown, {}},
      {"Alt", End::Cancel, {}, true},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    HeadlessWindows windows;
    platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] = c.modifier;
    platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}] = "Z";
    Program program{platform, windows};
    program.Start();
    FormSettings& settings = program.settingsWindow();
    if (c.noEntryChosen) program.settings().hotKey().ApplyHotKeyChoice(settings.hWnd(), -1);
    frmNewHotKey& window = program.newHotKeyWindow();
    windows.refuseModal = c.end == End::NotShown;
    if (c.end == End::NotShown) {
      EXPECT_THROW(settings.Command5_Click(), RuntimeError);
    } else {
      settings.Command5_Click();
      EXPECT_TRUE(platform.hotKeys.empty()) << c.modifier;
      for (int key : {0xA2, 0xA4, int{'L'}}) window.NotifyKeyDown(static_cast<int16_t>(key));
      c.end == End::Ok ? window.cmdOK_Click() : window.cmdCancel_Click();
    }
    EXPECT_EQ(HeldHotKeys(platform), c.held) << c.modifier << static_cast<int>(c.end);
  }
}

}  // namespace
}  // namespace keyhush::testing
