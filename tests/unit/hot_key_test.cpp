#include "hotkey/hot_key.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;

class HotKeyTest : public ::testing::Test {
 protected:
  static constexpr Handle kWindow = 0x500;
  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  HotKey& hotKey = program.hotKey();
};

TEST_F(HotKeyTest, ClearWhileUnhookedWithNothingRegisteredMakesNoPlatformCall) {
  hotKey.ClearHotKey(kWindow);
  hotKey.ClearHotKey(kWindow);
  EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
}  // namespace keyhush
