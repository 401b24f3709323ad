#include <gtest/gtest.h>

#include <sstream>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "settings/form_settings.h"
#include "settings/frm_new_hot_key.h"
#include "settings/settings_places.h"

namespace keyhush::testing {
namespace {

using Held = std::vector<std::pair<uint32_t, uint32_t>>;  // (modifiers, key) of each held hot key

Held HeldHotKeys(const FakePlatform& platform) {
  Held held;
  for (const auto& [where, combination] : platform.hotKeys) held.push_back(combination);
  return held;
}

// Policy values as "Name=text" or "Name=#number" (four bytes; "#number/8": eight), blank-separated.
std::map<std::string, FakePlatform::Value> Values(const std::string& list) {
  std::map<std::string, FakePlatform::Value> values;
  std::istringstream in(list);
  for (std::string item; in >> item;) {
    const std::string name = item.substr(0, item.find('=')), data = item.substr(name.size() + 1);
    std::vector<uint8_t> bytes(data.begin(), data.end());
    bytes.push_back(0);
    if (data[0] == '#') bytes.assign(data.ends_with("/8") ? 8 : 4, 0), bytes[0] = data[1] - '0';
    values[name] = {data[0] == '#' ? REG_DWORD : REG_SZ, bytes};
  }
  return values;
}

// The computer's and the user's policy values, and what the settings window then shows: the hot
// key, and each box ticked ('1') or not ('0') and disabled, or '-' enabled where the user decides.
TEST(SettingsChain, PoliciesDecideTheComputersFirstAndOnlyUsableValues) {
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"", "", "Win Button X", "--"},
      {"HotKey=Ctrl+Alt+L", "HotKey=Alt+K", "Ctrl + Alt + L", "--"},
      {"HotKey=Q", "HotKey=Alt+K", "Alt + K", "--"},
      {"HotKey=#1", "", "Win Button X", "--"},
      {"StartAtLogon=#0 TurnOffDisplays=#1", "StartAtLogon=#1 TurnOffDisplays=#0", "Win Button X",
       "01"},
      {"StartAtLogon=#2 TurnOffDisplays=#1/8", "TurnOffDisplays=1", "Win Button X", "--"},
      {"", "StartAtLogon=#1 TurnOffDisplays=#0", "Win Button X", "10"}};
  for (const auto& [machine, user, hotKey, boxes] : cases) {
    FakePlatform platform;
    HeadlessWindows windows;
    platform.registry[std::string("HKLM\\") + kPolicyKeyPath] = Values(machine);
    platform.registry[std::string("HKCU\\") + kPolicyKeyPath] = Values(user);
    Program program{platform, windows};
    program.Start();
    const FormSettings& w = program.settingsWindow();
    const auto box = [](const Control& c) { return c.Enabled() ? '-' : "01"[c.Value()]; };
    EXPECT_EQ(w.Label2.Text(), hotKey) << machine << user;
    EXPECT_EQ(w.Combo1.Enabled() && w.Command5.Enabled(), hotKey == "Win Button X") << machine;
    EXPECT_EQ((std::string{box(w.Check1), box(w.Check2)}), boxes) << machine << user;
    EXPECT_EQ(program.settings().TurnOffDisplays(), w.Check2.Value() == kChecked) << "lock's";
    // What a policy decides is never written into the user's own choices.
    EXPECT_TRUE(platform.CallsTo("WriteSetting").empty());
  }
}

// Under a policy the program registers the policy's hot key once at start, not the user's first;
// when the policies go, the user's choices are shown and held again, and none is written.
TEST(SettingsChain, APolicyHotKeyIsTheOneRegistrationAtStart) {
  FakePlatform platform;
  HeadlessWindows windows;
  platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] = "Alt";
  platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}] = "Z";
  platform.registry[std::string("HKLM\\") + kPolicyKeyPath] =
      Values("HotKey=Ctrl+Alt+L StartAtLogon=#1");
  Program program{platform, windows};
  program.Start();
  ASSERT_EQ(platform.CallsTo("RegisterHotKey").size(), 1u);
  EXPECT_EQ(HeldHotKeys(platform), (Held{{MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'L'}}));
  auto& run = platform.registry[std::string("HKCU\\") + kRunKeyPath];
  EXPECT_EQ(run.count(kRunValueName), 1u) << "the policy's log-on entry";
  platform.registry.erase(std::string("HKLM\\") + kPolicyKeyPath);
  FormSettings& w = program.settingsWindow();
  w.NotifyPoliciesChanged();
  EXPECT_EQ(HeldHotKeys(platform), (Held{{MOD_ALT, 'Z'}}));
  EXPECT_TRUE(w.Check1.Enabled() && w.Check1.Value() == kUnchecked && w.Combo1.Enabled());
  EXPECT_EQ(run.count(kRunValueName), 0u) << "the user's choice is no log-on entry";
  EXPECT_TRUE(platform.CallsTo("WriteSetting").empty());
}

// "Other..." with a saved modifier ("Hyper": one the program does not know; "Alt-": then a list
// choice of no entry), keys pressed in its window (positive down, negative up), and how it ends:
// '-' still open, showing the combination (" OK" when OK takes it); 'C' Cancel; 'N' a window that
// could not be shown. No hot key is held while it is open; after, only what was held before.
TEST(NewHotKeyWindow, ShowsEachCombinationAsPressedAndGivesBackOnlyWhatWasHeld) {
  constexpr int kCtrl = 0xA2, kRightCtrl = 0xA3, kAlt = 0xA4, kShift = 0xA0;
  const Held altZ{{MOD_ALT, 'Z'}};
  const std::tuple<std::string, std::vector<int>, char, std::string, Held> cases[] = {
      {"Alt", {kCtrl, kAlt}, '-', "Ctrl + Alt + ", {}},
      {"Alt", {kCtrl, kAlt, 'L', -'L', -kAlt, -kCtrl}, '-', "Ctrl + Alt + L OK", {}},
      {"Alt", {kCtrl, 'L', -'L', -kCtrl, kAlt, -kAlt}, '-', "Ctrl + L OK", {}},
      {"Alt", {kCtrl, 'L', -'L', kAlt}, '-', "Ctrl + Alt + ", {}},
      {"Alt", {kCtrl, kRightCtrl, -kCtrl, 'K', kRightCtrl}, '-', "Ctrl + K OK", {}},
      {"Alt", {kShift, 'Q', -'Q', -kShift}, '-', "Shift + Q", {}},
      {"Alt", {kCtrl, kAlt, 'L'}, 'C', "", altZ},
      {"Alt", {}, 'N', "", altZ},
      {"Hyper", {kCtrl, kAlt, 'L'}, 'C', "", {}},
      {"Hyper", {}, 'N', "", {}},
      {"Alt-", {kCtrl, kAlt, 'L'}, 'C', "", {}}};
  for (const auto& [modifier, keys, end, shown, held] : cases) {
    FakePlatform platform;
    HeadlessWindows windows;
    platform.settings[{kHotKeyApplication, kConfigSection, kModifierKey}] =
        modifier.substr(0, modifier.find("-"));
    platform.settings[{kHotKeyApplication, kConfigSection, kCurrentKeyKey}] = "Z";
    Program program{platform, windows};
    program.Start();
    FormSettings& settings = program.settingsWindow();
    frmNewHotKey& window = program.newHotKeyWindow();
    if (modifier.ends_with('-')) program.settings().hotKey().ApplyHotKeyChoice(settings.hWnd(), -1);
    windows.refuseModal = end == 'N';
    if (end == 'N') {
      EXPECT_THROW(settings.Command5_Click(), RuntimeError);
    } else {
      settings.Command5_Click();
      EXPECT_TRUE(platform.hotKeys.empty()) << modifier;
      for (int key : keys)
        key > 0 ? window.NotifyKeyDown(static_cast<int16_t>(key))
                : window.NotifyKeyUp(static_cast<int16_t>(-key));
      const std::string showing = window.lblHotKey.Text() + (window.cmdOK.Enabled() ? " OK" : "");
      EXPECT_TRUE(end != '-' || showing == shown) << showing;
      if (end == 'C') window.cmdCancel_Click();
    }
    EXPECT_EQ(HeldHotKeys(platform), held) << modifier << end;
  }
}

}  // namespace
}  // namespace keyhush::testing
