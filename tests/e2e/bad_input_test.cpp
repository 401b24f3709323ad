// Every saved value saved badly: the program starts silently, holds only what the rules allow
// and never ticks a box or writes Run. (A combination of one's own saved badly is the restore
// fuzz target's.)
#include <random>

#include "driver.h"

namespace e2e {

// A type and its bytes; REG_NONE: random bytes, written as REG_SZ through the W call, unconverted.
using Value = std::pair<DWORD, std::string>;

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
         : kind == "not ASCII"
             ? Value{REG_SZ, good.substr(0, good.size() - 1) + char(good.back() | 0x80) + '\0'}
             : Value{REG_NONE, random};
}

static void SetValue(const std::string& subKey, const char* name, const Value& value) {
  const auto* data = reinterpret_cast<const BYTE*>(value.second.data());
  const auto size = static_cast<DWORD>(value.second.size());
  EXPECT_EQ(value.first == REG_NONE
                ? RegSetKeyValueW(HKEY_CURRENT_USER, Wide(subKey).c_str(), Wide(name).c_str(),
                                  REG_SZ, data, size)
                : RegSetKeyValueA(HKEY_CURRENT_USER, subKey.c_str(), name, value.first, data, size),
            ERROR_SUCCESS);
}

using BadInput = KeyhushTest;

TEST_F(BadInput, BadSettingsStartTheDefaultOrNothingAndNeverTickTheBox) {
  // What someone holds of the single-modifier combinations: "modifiers+key", "" or "several".
  const auto held = [] {
    std::string found;
    for (UINT modifiers : {MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN})
      for (UINT key = 1; key < 0xFF; ++key)
        if (!HotKeyIsFree(modifiers, key))
          found = found.empty() ? std::to_string(modifiers) + "+" + std::to_string(key) : "several";
    return found;
  };
  ASSERT_EQ(held(), "") << "held before the start";
  const std::string winX = "8+88";
  for (const std::string kind : {"empty", "1 MB", "REG_DWORD", "REG_BINARY", "REG_EXPAND_SZ",
                                 "REG_MULTI_SZ", "random", "not ASCII"})
    for (const bool badModifier : {true, false}) {
      SCOPED_TRACE((badModifier ? "modifier " : "currentkey ") + kind);
      // The other value good, the start-up flag as bad. What may be held, '|' between: empty gives
      // the default, an unknown modifier nothing, a key its first character's code.
      const std::string mayHold = kind == "not ASCII" ? (badModifier ? "" : "2+217")
                                  : kind != "random"  ? winX
                                  : badModifier       ? "|" + winX
                                                      : winX + "|2+";
      ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
      SetValue(kHotKeySettings, "modifier",
               badModifier ? Bad(kind, "Ctrl") : Value{REG_SZ, std::string("Ctrl\0", 5)});
      SetValue(kHotKeySettings, "currentkey",
               badModifier ? Value{REG_SZ, std::string("Y\0", 2)} : Bad(kind, "Y"));
      SetValue(kStartupSettings, "startup", Bad(kind, "true"));
      SetValue(kHotKeySettings, "displaysoff", Bad(kind, "true"));
      ASSERT_NO_FATAL_FAILURE(keyhush.Start());
      std::string holds = held();
      if (mayHold.ends_with("2+") && holds.starts_with("2+")) holds = "2+";
      EXPECT_NE(("|" + mayHold + "|").find("|" + holds + "|"), std::string::npos)
          << "holds " << holds;
      EXPECT_TRUE(Windows(keyhush.Id(), "*").empty()) << "a window shown at the start";
      const SettingsWindow w = OpenSettings(keyhush.Id());
      if (holds == winX || holds.empty()) {
        EXPECT_EQ(TextOf(w.hotKey), holds.empty() ? " " : "Win Button X");
      }
      EXPECT_FALSE(Ticked(w.check) || Ticked(w.displays)) << "a bad value ticked a box";
      EXPECT_FALSE(ReadString(kRunKey, "Keyhush")) << "a bad start-up flag wrote Run";
      keyhush.Terminate();
    }
}

}  // namespace e2e
