#include "hotkey/hot_key.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "runtime/error.h"

namespace keyhush::testing {
namespace {

// Each registration takes the next identifier; the last one a 16-bit count can give is 32767.
TEST(HotKey, IdentifierOverflowRaisesBeforeAnyCallAndKeepsTheNames) {
  FakePlatform platform;
  HotKey hotKey{platform, nullptr};
  hotKey.SetHotKey(0x500, MOD_CONTROL, 'Y');
  for (int i = 1; i < 32767; ++i) hotKey.RegisterNextHotKey(0x500, MOD_CONTROL, 'Y');
  platform.calls.clear();
  EXPECT_THROW(hotKey.SetHotKey(0x500, MOD_ALT, 'Z'), RuntimeError);
  EXPECT_TRUE(platform.calls.empty());
  EXPECT_EQ(hotKey.hotKeyCount(), 32767);
  EXPECT_EQ(hotKey.currentModifierName() + hotKey.currentKeyText(), "CtrlY");
}

// What happens around a press of Win + X with turning the displays off wanted (or not, "-"):
// P the press, L Windows reports the lock, U Windows reports the unlock, D / R Win held down /
// released, T the timer's tick, + six seconds pass. How often the displays are turned off.
TEST(DisplaysOff, OnlyKeyhushsOwnLockTurnsThemOffOnceTheKeysAreUp) {
  const std::pair<std::string, int> cases[] = {
      {"-PL", 0},    {"PL", 1},   {"PLL", 1},     {"P", 0},      {"L", 0},    {"PLPL", 2},
      {"DPLTRT", 1}, {"P++L", 0}, {"DPL+TRT", 0}, {"DPLURT", 0}, {"P+PL", 1}, {"DPLTTRT", 1}};
  for (const auto& [events, expected] : cases) {
    FakePlatform platform;
    DisplaysOff displays{platform, [&] { return events.front() != '-'; }};
    for (char event : events) {
      if (event == 'P') displays.Pressed(0x500, MOD_WIN, 'X');
      if (event == 'L') displays.OnMessage(0x500, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
      if (event == 'U') displays.OnMessage(0x500, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
      if (event == 'T') displays.OnMessage(0x500, WM_TIMER, DisplaysOff::kTimerId);
      if (event == 'D') platform.keysDown.insert(VK_LWIN);
      if (event == 'R') platform.keysDown.clear();
      if (event == '+') platform.tickCount += 6000;
    }
    EXPECT_EQ(platform.CallsTo("SendMessageA(1280,274,61808,2)").size(), size_t(expected))
        << events;
    // Never a message to every window, and no timer left running.
    EXPECT_TRUE(platform.CallsTo("SendMessageA(65535").empty());
    EXPECT_EQ(platform.CallsTo("SetTimer").empty(), platform.CallsTo("KillTimer").empty())
        << events;
  }
}

}  // namespace
}  // namespace keyhush::testing
