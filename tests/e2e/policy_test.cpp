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
  const HKEY hive = root[2] == 'C' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  bool known = false;
  for (std::string line; std::getline(rows, line);) {
    std::istringstream in(line);
    std::string f[7];  // policy, state, root, key, value name, type, data
    for (std::string& field : f) std::getline(in, field, '\t');
    if (f[0] != policy || f[2] != root) continue;
    known = true;
    const bool number = f[5] == "REG_DWORD";
    const DWORD value = number ? std::stoul(f[6]) : 0;
    const std::string data = number ? std::string(reinterpret_cast<const char*>(&value), 4)
                                    : (f[6] == "<text>" ? text : f[6]) + '\0';
    if (state == "not configured") {
      RegDeleteKeyValueA(hive, f[3].c_str(), f[4].c_str());
    } else if (f[1] == state) {
      ASSERT_EQ(RegSetKeyValueA(hive, f[3].c_str(), f[4].c_str(), number ? REG_DWORD : REG_SZ,
                                data.data(), static_cast<DWORD>(data.size())),
                ERROR_SUCCESS);
    }
  }
  ASSERT_TRUE(known) << "the templates have no " << policy << " for " << root;
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
}

using Policy = KeyhushTest;

TEST_F(Policy, TheHotKeyPolicyHoldsOverTheUsersChoiceAndTheComputersOverTheUsers) {
  constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
  SetString(kHotKeySettings, "modifier", "Alt");
  SetString(kHotKeySettings, "currentkey", "Z");
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "enabled", "HKCU", "Ctrl+Alt+K"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "enabled", "HKLM", "Ctrl+Alt+L"));
  EXPECT_TRUE(WaitUntil([] { return !HotKeyIsFree(kCtrlAlt, 'L'); }) && HotKeyIsFree(kCtrlAlt, 'K'))
      << "the computer's";
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(kCtrlAlt, 'L'));
  const SettingsWindow w = OpenSettings(keyhush.Id());
  EXPECT_EQ(TextOf(w.hotKey) + "|" + TextOf(GetDlgItem(w.form, 112)),
            "Ctrl + Alt + L|Your organisation sets the hot key.");
  // No policy: the user's choice again.
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "not configured", "HKLM"));
  ASSERT_NO_FATAL_FAILURE(SetPolicy("HotKey", "not configured", "HKCU"));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(w.hotKey) == "Alt Z" && IsWindowEnabled(w.combo); }));
  EXPECT_TRUE(!HotKeyIsFree(MOD_ALT, 'Z') && HotKeyIsFree(kCtrlAlt, 'K')) << "the user's choice";
  EXPECT_EQ(TextOf(GetDlgItem(w.form, 112)), "");
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
  EXPECT_TRUE(Ticked(w.check) && !IsWindowEnabled(w.check));
  EXPECT_EQ(ReadString(kStartupSettings, "startup"), "true");
  if (!installed) SetString(kRunKey, "Keyhush", std::nullopt, HKEY_LOCAL_MACHINE);
}

// Wine reports no lock and ignores a request to turn the displays off: the test reports the lock
// to the program's windows as Windows would, and a hook in the program counts the requests.
static size_t DisplaysTurnedOff() {
  std::ifstream log(Environment("KEYHUSH_E2E_LOG") + ".displays");
  size_t count = 0;
  for (std::string line; std::getline(log, line);) count += line.starts_with("2");
  return count;
}

static void ReportLock(DWORD processId) {
  for (HWND window : Windows(processId, "*", false))
    SendMessageTimeoutA(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

using DisplaysOff = KeyhushTest;

TEST_F(DisplaysOff, OnlyTheProgramsOwnLockTurnsThemOffOnceTheHotKeyIsLetGo) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const HMODULE watch = LoadLibraryA(Environment("KEYHUSH_WATCH").c_str());
  const auto hook =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(watch, "WatchDisplays")));
  const HWND hidden = Windows(keyhush.Id(), kSettingsWindow, false).front();
  ASSERT_TRUE(SetWindowsHookExA(WH_CALLWNDPROC, hook, watch, GetWindowThreadProcessId(hidden, 0)));
  const auto lockAndWait = [&] {
    ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock());
    ReportLock(keyhush.Id());
    std::this_thread::sleep_for(1s);
  };

  const SettingsWindow w = OpenSettings(keyhush.Id());
  ClickAt(CentreOf(w.displays));
  ASSERT_TRUE(WaitUntil([] { return ReadString(kHotKeySettings, "displaysoff") == "true"; }));
  ClickAt(CentreOf(w.cancel));
  // Win still down after the lock: nothing until it is let go, then once.
  const size_t locks = ReadStarted().size();
  SendInputs({Key(VK_LWIN, false), Key('X', false), Key('X', true)});
  ASSERT_FALSE(WaitForStarted(locks + 1).empty());
  // Wine forgets the keys of a hot key once it has fired: Win repeats, as a held key does.
  SendInputs({Key(VK_LWIN, false)});
  ASSERT_TRUE(WaitUntil([] { return GetAsyncKeyState(VK_LWIN) < 0; }, 2s));
  ReportLock(keyhush.Id());
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(DisplaysTurnedOff(), 0u) << "turned off while Win was down";
  SendInputs({Key(VK_LWIN, true)});
  EXPECT_TRUE(WaitUntil([] { return DisplaysTurnedOff() == 1; }, 3s));

  // The computer's policy over the user's, over the user's own choice, which stays saved.
  ASSERT_NO_FATAL_FAILURE(SetPolicy("TurnOffDisplays", "enabled", "HKCU"));
  ASSERT_NO_FATAL_FAILURE(SetPolicy("TurnOffDisplays", "disabled", "HKLM"));
  ASSERT_NO_FATAL_FAILURE(lockAndWait());
  EXPECT_EQ(DisplaysTurnedOff(), 1u) << "the computer's policy turns it off";
  SetString(kHotKeySettings, "displaysoff", "false");
  ASSERT_NO_FATAL_FAILURE(SetPolicy("TurnOffDisplays", "not configured", "HKLM"));
  ASSERT_NO_FATAL_FAILURE(lockAndWait());
  EXPECT_EQ(DisplaysTurnedOff(), 2u) << "the user's policy turns it on";
  EXPECT_EQ(ReadString(kHotKeySettings, "displaysoff"), "false");
}

}  // namespace e2e
