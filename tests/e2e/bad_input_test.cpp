// Every saved value the real program reads, saved badly: empty, a megabyte long, not ASCII, of
// the wrong registry type, random bytes. The program keeps running, holds only what the rules
// allow (the saved known modifier with the saved first character, the default Win + X, or
// nothing for a modifier that is none of the four) and never ticks the box or writes Run.
#include <random>
#include <set>

#include "driver.h"

namespace e2e {
namespace {

// A value exactly as a careless program could store it; wide ones go through the W call, so
// that their bytes reach the registry unconverted, an odd count included.
struct Value {
  DWORD type;
  std::string bytes;
  bool wide = false;
};

void SetValue(const std::string& subKey, const char* name, const Value& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, subKey.c_str(), &key), ERROR_SUCCESS);
  const auto* data = reinterpret_cast<const BYTE*>(value.bytes.data());
  const auto size = static_cast<DWORD>(value.bytes.size());
  const std::wstring wideName(name, name + strlen(name));
  const LONG result = value.wide ? RegSetValueExW(key, wideName.c_str(), 0, value.type, data, size)
                                 : RegSetValueExA(key, name, 0, value.type, data, size);
  RegCloseKey(key);
  ASSERT_EQ(result, ERROR_SUCCESS) << subKey << " " << name;
}

// The kinds of bad value, each made from the text that would have been good.
Value Bad(const std::string& kind, const std::string& good) {
  if (kind == "empty") return {REG_SZ, std::string(1, '\0')};
  if (kind == "1 MB") return {REG_SZ, good + std::string(1 << 20, 'x') + '\0'};
  if (kind == "REG_DWORD") return {REG_DWORD, std::string("\x2A\0\0\0", 4)};
  if (kind == "REG_BINARY") return {REG_BINARY, good};
  if (kind == "REG_EXPAND_SZ") return {REG_EXPAND_SZ, good + '\0'};
  if (kind == "REG_MULTI_SZ") return {REG_MULTI_SZ, good + std::string(2, '\0')};
  std::mt19937 random(6);  // random bytes
  std::string bytes(257, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return {REG_SZ, bytes, true};
}

// Every single-modifier combination someone holds, as "modifiers+key".
std::set<std::string> HeldCombinations() {
  std::set<std::string> held;
  for (UINT modifiers : {MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN})
    for (UINT key = 1; key < 0xFF; ++key)
      if (!HotKeyIsFree(modifiers, key))
        held.insert(std::to_string(modifiers) + "+" + std::to_string(key));
  return held;
}

using BadInput = KeyhushTest;

TEST_F(BadInput, BadSettingsStartTheDefaultOrNothingAndNeverTickTheBox) {
  ASSERT_TRUE(HeldCombinations().empty()) << "combinations held before the start";
  const std::string winX = "8+88", ctrl = "2+";
  const Value goodCtrl{REG_SZ, std::string("Ctrl\0", 5)}, goodY{REG_SZ, std::string("Y\0", 2)};
  // What is bad (the other hot-key value good, the start-up flag as bad), and what may be held:
  // a modifier that reads as empty gives the default, and so does a key that reads as empty;
  // random text names no modifier, and gives Ctrl with its first character as the key.
  struct Case {
    std::string what;
    Value modifier, key, startup;
    std::set<std::string> mayHold;
  };
  std::vector<Case> cases;
  for (const char* kind : {"empty", "1 MB", "REG_DWORD", "REG_BINARY", "REG_EXPAND_SZ",
                           "REG_MULTI_SZ", "random bytes"}) {
    const bool random = std::string(kind) == "random bytes";
    cases.push_back({std::string("modifier ") + kind, Bad(kind, "Ctrl"), goodY, Bad(kind, "true"),
                     random ? std::set<std::string>{"", winX} : std::set<std::string>{winX}});
    cases.push_back({std::string("currentkey ") + kind, goodCtrl, Bad(kind, "Y"), Bad(kind, "true"),
                     random ? std::set<std::string>{winX, ctrl} : std::set<std::string>{winX}});
  }
  // Not ASCII: a modifier that is none of the four holds nothing; a key is its character's code.
  cases.push_back({"modifier not ASCII",
                   {REG_SZ, std::string("Ctr\xEC\0", 5)},
                   goodY,
                   {REG_SZ, std::string("tru\xE9\0", 5)},
                   {""}});
  cases.push_back({"currentkey not ASCII",
                   goodCtrl,
                   {REG_SZ, std::string("\xC4\0", 2)},
                   {REG_SZ, std::string("\xC4\0", 2)},
                   {"2+196"}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    ASSERT_NO_FATAL_FAILURE(SetValue(kHotKeySettings, "modifier", c.modifier));
    ASSERT_NO_FATAL_FAILURE(SetValue(kHotKeySettings, "currentkey", c.key));
    ASSERT_NO_FATAL_FAILURE(SetValue(kStartupSettings, "startup", c.startup));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    const std::set<std::string> held = HeldCombinations();
    std::string holds = held.size() == 1 ? *held.begin() : held.empty() ? "" : "several";
    if (c.mayHold.count(ctrl) && holds.starts_with(ctrl)) holds = ctrl;
    EXPECT_TRUE(c.mayHold.count(holds)) << "holds " << (held.empty() ? "nothing" : holds);
    EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "an error was reported";
    const SettingsWindow w = OpenSettings(keyhush.Id());
    EXPECT_EQ(w.HotKeyText(), holds == winX   ? "Win Button X"
                              : holds.empty() ? " "
                                              : w.HotKeyText());
    EXPECT_FALSE(w.Ticked()) << "a bad start-up flag ticked the box";
    EXPECT_FALSE(ReadString(kRunKey, "Keyhush")) << "a bad start-up flag wrote Run";
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
}

// A text value naming the program whole starts it, in a folder whose name is not ASCII too.
TEST_F(BadInput, SystemInfoStartsAProgramNamedWholeInAFolderThatIsNotAscii) {
  const std::string folder = "C:\\keyhush-e2e\\Ger\xE4t";
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(folder + "\\MSINFO32.EXE"));
  RemoveMachineValue(kSysInfoKey, "PATH");
  ASSERT_NO_FATAL_FAILURE(SetMachineString(kSysInfoFolderKey, "MSINFO", folder));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  const HWND about = ShownWindow(keyhush.Id(), kAboutWindow);
  ASSERT_TRUE(TakesInput(about));
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  const std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u) << "nothing started";
  EXPECT_EQ(lstrcmpiA(started[0].path.c_str(), (folder + "\\MSINFO32.EXE").c_str()), 0);
  RemoveMachineValue(kSysInfoFolderKey, "MSINFO");
}

}  // namespace
}  // namespace e2e
