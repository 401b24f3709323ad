// An organisation's policies, written as the administrative templates have Group Policy write
// them: they hold over the user's choice, disable what they decide, and follow a refresh.
#include <sstream>

#include "driver.h"

namespace e2e {

// Writes the registry value that Group Policy writes for `policy` in `state` ("enabled",
// "disabled" or "not configured") for the computer ("HKLM") or the user ("HKCU"), as the
// templates say (tests/policy/check-admx --registry, in KEYHUSH_POLICY_VALUES).
static void SetPolicy(const std::string& policy, const std::string& state, const char* root,
                      const std::string& text = "") {
  std::ifstream rows(Environment("KEYHUSH_POLICY_VALUES"));
  std::string name, want, where, key, value, type, data, found;
  const HKEY hive = *root == 'C' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  while (std::getline(rows, name, '\t') && std::getline(rows, want, '\t') &&
         std::getline(rows, where, '\t') && std::getline(rows, key, '\t') &&
         std::getline(rows, value, '\t') && std::getline(rows, type, '\t') &&
         std::getline(rows, data)) {
    if (name != policy || where != root) continue;
    found = key;
    if (want != state) continue;
    const std::string string = data == "<text>" ? text : data;
    const DWORD number = std::stoul(type == "REG_DWORD" ? data : "0");
    ASSERT_EQ(type == "REG_DWORD" ? RegSetKeyValueA(hive, key.c_str(), value.c_str(), REG_DWORD,
                                                    &number, sizeof number)
                                  : RegSetKeyValueA(hive, key.c_str(), value.c_str(), REG_SZ,
                                                    string.c_str(), string.size() + 1),
              ERROR_SUCCESS);
  }
  ASSERT_FALSE(found.empty()) << "the templates have no " << policy << " for " << root;
  if (state == "not configured") RegDeleteKeyValueA(hive, found.c_str(), policy.c_str());
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
}

static bool Holds(UINT modifiers, UINT key) {
  return WaitUntil([&] { return !HotKeyIsFree(modifiers, key); });
}

using Policy = KeyhushTest;

TEST_F(Policy, TheHotKeyPolicyHoldsOverTheUsersChoiceAndTheComputersOverTheUsers) {
  constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
  SetString(kHotKeySettings, "modifier", "Alt");
  SetString(kHotKeySettings, "currentkey", "Z");
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "enabled", "HKCU", "Ctrl+Alt+K"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_TRUE(Holds(kCtrlAlt, 'K') && HotKeyIsFree(MOD_ALT, 'Z')) << "the user's policy";
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "enabled", "HKLM", "Ctrl+Alt+L"));
  EXPECT_TRUE(Holds(kCtrlAlt, 'L') && HotKeyIsFree(kCtrlAlt, 'K')) << "the computer's";
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(kCtrlAlt, 'L'));
  const SettingsWindow w = OpenSettings(keyhush.Id());
  EXPECT_EQ(TextOf(w.hotKey), "Ctrl + Alt + L");
  EXPECT_FALSE(IsWindowEnabled(w.combo) || IsWindowEnabled(w.other));
  EXPECT_EQ(TextOf(GetDlgItem(w.form, 112)), "Your organisation sets the hot key.");
  // A text that names no usable combination is no policy: the user's policy, then their choice.
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "enabled", "HKLM", "Shift+A"));
  EXPECT_TRUE(Holds(kCtrlAlt, 'K') && HotKeyIsFree(kCtrlAlt, 'L'));
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "not configured", "HKCU"));
  EXPECT_TRUE(Holds(MOD_ALT, 'Z') && HotKeyIsFree(kCtrlAlt, 'K')) << "the user's choice";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(w.hotKey) == "Alt Z" && IsWindowEnabled(w.combo); }));
  EXPECT_EQ(TextOf(GetDlgItem(w.form, 112)), "");

  // Start at log-on: the policy's state in the box, disabled, and in the Run value; the user's
  // own flag untouched; not configured, the user's choice again.
  const std::string quoted = "\"" + Environment("KEYHUSH_EXE") + "\"";
  for (const auto& [state, ticked, run] : {std::tuple{"enabled", true, quoted},
                                           {"disabled", false, std::string("none")},
                                           {"not configured", false, std::string("none")}}) {
    ASSERT_NO_FATAL_FAILURE(SetPolicy("StartAtLogon", state, "HKLM"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(w.check) == (*state == 'n'); })) << state;
    EXPECT_EQ(w.Ticked(), ticked) << state;
    EXPECT_EQ(lstrcmpiA(ReadString(kRunKey, "Keyhush").value_or("none").c_str(), run.c_str()), 0);
    EXPECT_FALSE(ReadString(kStartupSettings, "startup")) << state;
  }
}

// The installer's machine-wide log-on entry (made here, unless an installed program has one):
// the box is ticked and disabled, and no second entry of the user's starts a second copy.
TEST_F(Policy, TheMachineWideLogOnEntryTicksTheBoxAndLeavesNoEntryOfTheUsers) {
  const std::string quoted = "\"" + Environment("KEYHUSH_EXE") + "\"";
  const bool installed = RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), "Keyhush", RRF_RT_REG_SZ,
                                      nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  if (!installed) SetString(kRunKey, "Keyhush", quoted, HKEY_LOCAL_MACHINE);
  SetString(kStartupSettings, "startup", "true");
  SetString(kRunKey, "Keyhush", quoted);
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_TRUE(WaitUntil([] { return !ReadString(kRunKey, "Keyhush"); })) << "the user's entry";
  const SettingsWindow w = OpenSettings(keyhush.Id());
  EXPECT_TRUE(w.Ticked() && !IsWindowEnabled(w.check));
  EXPECT_EQ(ReadString(kStartupSettings, "startup"), "true");
  if (!installed) SetString(kRunKey, "Keyhush", std::nullopt, HKEY_LOCAL_MACHINE);
}

}  // namespace e2e
