// Every value the real program reads, saved badly: empty, a megabyte long, not ASCII, of the
// wrong registry type, random bytes. The program keeps running, holds only what the rules allow
// (the saved known modifier with the saved first character, the default Win + X, or nothing for
// a modifier that is none of the four), and starts nothing that a bad value names.
#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "driver.h"

namespace e2e {
namespace {

// A value exactly as a careless program could store it. Wide values are stored through the W
// call, so that their bytes reach the registry unconverted, an odd count included.
struct Value {
  DWORD type;
  std::string bytes;
  bool wide = false;
};

void SetValue(HKEY root, const std::string& subKey, const std::string& name, const Value& value) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS)
      << subKey;
  const auto* data = reinterpret_cast<const BYTE*>(value.bytes.data());
  const auto size = static_cast<DWORD>(value.bytes.size());
  const std::wstring wideName(name.begin(), name.end());
  const LONG result = value.wide ? RegSetValueExW(key, wideName.c_str(), 0, value.type, data, size)
                                 : RegSetValueExA(key, name.c_str(), 0, value.type, data, size);
  RegCloseKey(key);
  ASSERT_EQ(result, ERROR_SUCCESS) << subKey << " " << name;
}

std::string RandomBytes(unsigned seed, size_t count) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

const std::string kMegabyte(1 << 20, 'x');

// The kinds of bad value, each made from the text that would have been good.
struct Kind {
  const char* name;
  Value (*make)(const std::string& good);
};
const Kind kKinds[] = {
    {"empty",
     [](const std::string&) {
       return Value{REG_SZ, std::string(1, '\0')};
     }},
    {"1 MB",
     [](const std::string& good) {
       return Value{REG_SZ, good + kMegabyte + '\0'};
     }},
    {"REG_DWORD",
     [](const std::string&) {
       return Value{REG_DWORD, std::string("\x2A\0\0\0", 4)};
     }},
    {"REG_BINARY",
     [](const std::string& good) {
       return Value{REG_BINARY, good};
     }},
    {"REG_EXPAND_SZ",
     [](const std::string& good) {
       return Value{REG_EXPAND_SZ, good + '\0'};
     }},
    {"REG_MULTI_SZ",
     [](const std::string& good) {
       return Value{REG_MULTI_SZ, good + std::string(2, '\0')};
     }},
    {"random bytes",
     [](const std::string&) {
       return Value{REG_SZ, RandomBytes(6, 257), true};
     }},
};

struct Combination {
  UINT modifiers;
  UINT key;
  auto operator<=>(const Combination&) const = default;
};
constexpr Combination kWinX{MOD_WIN, 'X'};

// Every single-modifier combination that someone holds: this process cannot register it.
std::set<Combination> HeldCombinations() {
  std::set<Combination> held;
  for (UINT modifiers : {MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN}) {
    for (UINT key = 1; key < 0xFF; ++key) {
      if (!HotKeyIsFree(modifiers, key)) held.insert({modifiers, key});
    }
  }
  return held;
}

using BadInput = KeyhushTest;

TEST_F(BadInput, BadSettingsStartTheDefaultOrNothingAndNeverTickTheBox) {
  const std::set<Combination> before = HeldCombinations();
  ASSERT_TRUE(before.empty()) << before.size() << " combinations held before the start";

  // Each bad kind in one of the two hot-key values (the other one good), and in the start-up
  // flag as well.
  struct Case {
    std::string what;
    Value modifier, key, startup;
    std::vector<std::set<Combination>> allowed;
    bool orCtrlWithAnyKey = false;
  };
  const Value ctrl{REG_SZ, std::string("Ctrl\0", 5)}, y{REG_SZ, std::string("Y\0", 2)};
  std::vector<Case> cases;
  for (const Kind& kind : kKinds) {
    const bool random = std::string(kind.name) == "random bytes";
    // A modifier that reads as empty is the default; random text names none of the four.
    cases.push_back({std::string("modifier ") + kind.name, kind.make("Ctrl"), y, kind.make("true"),
                     random ? std::vector<std::set<Combination>>{{}, {kWinX}}
                            : std::vector<std::set<Combination>>{{kWinX}}});
    // A key that reads as empty is the default; random text gives Ctrl with its first character.
    cases.push_back({std::string("currentkey ") + kind.name,
                     ctrl,
                     kind.make("Y"),
                     kind.make("true"),
                     {{kWinX}},
                     random});
  }
  // Text that is not ASCII: a modifier that is none of the four holds nothing, a key is taken as
  // its character's code.
  cases.push_back({"modifier not ASCII",
                   {REG_SZ, std::string("Ctr\xEC\0", 5)},
                   y,
                   {REG_SZ, std::string("tru\xE9\0", 5)},
                   {{}}});
  cases.push_back({"currentkey not ASCII",
                   ctrl,
                   {REG_SZ, std::string("\xC4\0", 2)},
                   {REG_SZ, std::string("\xC4\0", 2)},
                   {{{MOD_CONTROL, 0xC4}}}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_CURRENT_USER, kHotKeySettings, "modifier", c.modifier));
    ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_CURRENT_USER, kHotKeySettings, "currentkey", c.key));
    ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_CURRENT_USER, kStartupSettings, "startup", c.startup));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());

    const std::set<Combination> held = HeldCombinations();
    bool allowed = std::find(c.allowed.begin(), c.allowed.end(), held) != c.allowed.end();
    if (c.orCtrlWithAnyKey && held.size() == 1 && held.begin()->modifiers == MOD_CONTROL) {
      allowed = true;
    }
    std::string shown;
    for (const Combination& combination : held) {
      shown += " " + std::to_string(combination.modifiers) + "+" + std::to_string(combination.key);
    }
    EXPECT_TRUE(allowed) << "holds:" << (shown.empty() ? " nothing" : shown);

    EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "an error was reported";

    // What the settings window shows agrees with what is held.
    const SettingsWindow w = OpenSettings(keyhush.Id());
    ASSERT_TRUE(w.Complete());
    if (held.empty()) {
      EXPECT_EQ(w.HotKeyText(), " ");
    } else if (*held.begin() == kWinX) {
      EXPECT_EQ(w.HotKeyText(), "Win Button X");
    } else {
      EXPECT_EQ(w.HotKeyText().rfind("Ctrl ", 0), 0u) << w.HotKeyText();
    }
    EXPECT_FALSE(w.Ticked()) << "a bad start-up flag ticked the box";
    EXPECT_FALSE(ReadString(kRunKey, "Keyhush").has_value()) << "a bad start-up flag wrote Run";
    EXPECT_TRUE(keyhush.Running());
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
}

TEST_F(BadInput, BadSystemInfoValuesStartNothingButTheProgramNamedWhole) {
  // A folder whose name is not ASCII, holding the system-information program's stand-in.
  const std::string folder = "C:\\keyhush-e2e\\Ger\xE4t";
  const std::string program = folder + "\\MSINFO32.EXE";
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(program));
  ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoKey, "PATH"));
  ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoFolderKey, "MSINFO"));
  ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<HWND> shown = ShownWindows(keyhush.Id(), "About Key hush");
    about = shown.empty() ? nullptr : shown.front();
    return about != nullptr;
  }));
  const HWND sysInfo = ChildStartingWith(about, "&System Info...");
  ASSERT_NE(sysInfo, nullptr);

  struct Case {
    std::string what;
    const std::string* key;
    const char* name;
    Value value;
    bool starts;
  };
  std::vector<Case> cases;
  for (const auto& [key, name, good] : {std::tuple{&kSysInfoKey, "PATH", program},
                                        std::tuple{&kSysInfoFolderKey, "MSINFO", folder}}) {
    for (const Kind& kind : kKinds) {
      cases.push_back({std::string(name) + " " + kind.name, key, name, kind.make(good), false});
    }
    cases.push_back({std::string(name) + " not ASCII", key, name, {REG_SZ, good + '\0'}, true});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(ClearStarted());
    ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoKey, "PATH"));
    ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoFolderKey, "MSINFO"));
    ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_LOCAL_MACHINE, *c.key, c.name, c.value));
    // The About tests click the real button; here only the values vary, so the click is posted
    // and cannot be lost to Wine putting another window on top.
    ASSERT_TRUE(TakesInput(about));
    ASSERT_TRUE(PostMessageA(about, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sysInfo), BN_CLICKED),
                             reinterpret_cast<LPARAM>(sysInfo)));

    if (c.starts) {
      const std::vector<Started> started = WaitForStarted(1);
      ASSERT_EQ(started.size(), 1u) << "nothing started";
      EXPECT_EQ(lstrcmpiA(started[0].path.c_str(), program.c_str()), 0) << started[0].path;
      EXPECT_TRUE(SplitCommandLine(started[0].commandLine).quoted) << started[0].commandLine;
      EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "a message as well";
      continue;
    }
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<HWND> shown = ShownWindows(keyhush.Id(), "Key hush");
      box = shown.empty() ? nullptr : shown.front();
      return box != nullptr;
    })) << "no message";
    EXPECT_NE(ChildStartingWith(box, "System Information Is Unavailable At This Time"), nullptr);
    EXPECT_TRUE(ReadStarted().empty()) << "started " << ReadStarted().front().path;
    ASSERT_NE(ChildStartingWith(box, "OK"), nullptr);
    ASSERT_TRUE(TakesInput(box));
    ASSERT_TRUE(PostMessageA(box, WM_COMMAND, IDOK, 0));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the message stayed";
    EXPECT_TRUE(keyhush.Running());
  }
  ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoKey, "PATH"));
  ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoFolderKey, "MSINFO"));
}

}  // namespace
}  // namespace e2e
