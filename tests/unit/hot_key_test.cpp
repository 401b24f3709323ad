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

}  // namespace
}  // namespace keyhush::testing
