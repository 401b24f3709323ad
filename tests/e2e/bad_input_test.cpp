// Every saved value the program reads, saved badly: empty, a megabyte long, not ASCII, of the
// wrong registry type, random bytes. The program starts silently, holds only what the rules
// allow (the saved known modifier with the saved first character, the default Win + X, or
// nothing for a modifier that is none of the four) and never ticks the box or writes Run.
#include <random>
#include <set>

#include "driver.h"

namespace e2e {

struct Value {  // REG_NONE: random bytes, written as REG_SZ through the W call, unconverted
  DWORD type;
  std::string bytes;
};

// The kinds of bad value, each made from the text that would have been good.
static Value Bad(const std::string& kind, const std::string& good) {
  std::string random(257, '\0');
  std::generate(random.begin(), random.end(), std::mt19937(6));
  return kind == "empty"           ? Value{REG_SZ, std::string(1, '\0')}
         : kind == "1 MB"          ? Value{REG_SZ, good + std::string(1 << 20, 'x') + '\0'}
         : kind == "REG_DWORD"     ? Value{REG_DWORD, std::string("\x2A\0\0\0", 4)}
         : kind == "REG_BINARY"    ? Value{REG_BINARY, good}
         : kind == "REG_EXPAND_SZ" ? Value{REG_EXPAND_SZ, good + '\0'}
         : kind == "REG_MULTI_SZ"  ? Value{REG_MULTI_SZ, good + std::string(2, '\0')}
                                   : Value{REG_NONE, random};
}

static void SetValue(const std::string& subKey, const char* name, const Value& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, subKey.c_str(), &key), ERROR_SUCCESS);
  const auto* data = reinterpret_cast<const BYTE*>(value.bytes.data());
  const auto size = static_cast<DWORD>(value.bytes.size());
  EXPECT_EQ(value.type == REG_NONE ? RegSetValueExW(key, Wide(name).c_str(), 0, REG_SZ, data, size)
                                   : RegSetValueExA(key, name, 0, value.type, data, size),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

using BadInput = KeyhushTest;

TEST_F(BadInput, BadSettingsStartTheDefaultOrNothingAndNeverTickTheBox) {
  // Every single-modifier combination someone holds, as "modifiers+key".
  const auto heldCombinations = [] {
    std::set<std::string> held;
    for (UINT modifiers : {MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN})
      for (UINT key = 1; key < 0xFF; ++key)
        if (!HotKeyIsFree(modifiers, key))
          held.insert(std::to_string(modifiers) + "+" + std::to_string(key));
    return held;
  };
  ASSERT_TRUE(heldCombinations().empty()) << "combinations held before the start";
  const std::string winX = "8+88", ctrl = "2+";
  const Value goodCtrl{REG_SZ, std::string("Ctrl\0", 5)}, goodY{REG_SZ, std::string("Y\0", 2)};
  // What is bad (the other hot-key value good, the start-up flag as bad), and what may be held:
  // a modifier or a key that reads as empty gives the default; random text names no modifier,
  // and gives Ctrl with its first character as the key.
  struct Case {
    std::string what;
    Value modifier, key, startup;
    std::set<std::string> mayHold;
  };
  std::vector<Case> cases{{"modifier not ASCII",
                           {REG_SZ, std::string("Ctr\xEC\0", 5)},
                           goodY,
                           {REG_SZ, std::string("tru\xE9\0", 5)},
                           {""}},
                          {"currentkey not ASCII",
                           goodCtrl,
                           {REG_SZ, std::string("\xC4\0", 2)},
                           {REG_SZ, std::string("\xC4\0", 2)},
                           {"2+196"}}};
  for (const std::string kind :
       {"empty", "1 MB", "REG_DWORD", "REG_BINARY", "REG_EXPAND_SZ", "REG_MULTI_SZ", "random"}) {
    const bool random = kind == "random";
    cases.push_back({"modifier " + kind, Bad(kind, "Ctrl"), goodY, Bad(kind, "true"),
                     random ? std::set<std::string>{"", winX} : std::set<std::string>{winX}});
    cases.push_back({"currentkey " + kind, goodCtrl, Bad(kind, "Y"), Bad(kind, "true"),
                     random ? std::set<std::string>{winX, ctrl} : std::set<std::string>{winX}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    ASSERT_NO_FATAL_FAILURE(SetValue(kHotKeySettings, "modifier", c.modifier));
    ASSERT_NO_FATAL_FAILURE(SetValue(kHotKeySettings, "currentkey", c.key));
    ASSERT_NO_FATAL_FAILURE(SetValue(kStartupSettings, "startup", c.startup));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    const std::set<std::string> held = heldCombinations();
    std::string holds = held.size() == 1 ? *held.begin() : held.empty() ? "" : "several";
    if (c.mayHold.count(ctrl) && holds.starts_with(ctrl)) holds = ctrl;
    EXPECT_TRUE(c.mayHold.count(holds)) << "holds " << (held.empty() ? "nothing" : holds);
    EXPECT_TRUE(Windows(keyhush.Id(), "*").empty()) << "a window shown at the start";
    const SettingsWindow w = OpenSettings(keyhush.Id());
    if (holds == winX || holds.empty()) {
      EXPECT_EQ(TextOf(w.hotKey), holds.empty() ? " " : "Win Button X");
    }
    EXPECT_FALSE(w.Ticked()) << "a bad start-up flag ticked the box";
    EXPECT_FALSE(ReadString(kRunKey, "Keyhush")) << "a bad start-up flag wrote Run";
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
}

}  // namespace e2e
