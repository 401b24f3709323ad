#include "app/title_to_tray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;

class TitleToTrayTest : public ::testing::Test {
 protected:
  static constexpr Handle kWindow = 0x100, kTaskBar = 0x900, kNotificationArea = 0x910;
  TitleToTrayTest() {
    platform.trayWindow = kTaskBar;
    platform.trayNotifyWindow = kNotificationArea;
    platform.windowRects[kWindow] = {100, 120, 445, 273};
    platform.windowRects[kNotificationArea] = {700, 570, 800, 600};
  }
  testing::FakePlatform platform;
  mdlTitleToTray animation{platform};
};

TEST_F(TitleToTrayTest, WindowToTrayRunsFromTheWindowToTheNotificationArea) {
  animation.AnimateWindowToTray(kWindow);
  EXPECT_THAT(
      platform.calls,
      ElementsAre("FindWindowA(Shell_TrayWnd,null)", "FindWindowExA(2304,0,TrayNotifyWnd,null)",
                  "GetWindowRect(256)", "GetWindowRect(2320)",
                  "DrawAnimatedRects(256,3,100,120,445,273,700,570,800,600)"));
}

TEST_F(TitleToTrayTest, TrayToWindowRunsFromTheNotificationAreaToTheWindow) {
  animation.AnimateTrayToWindow(kWindow);
  EXPECT_THAT(
      platform.calls,
      ElementsAre("FindWindowA(Shell_TrayWnd,null)", "FindWindowExA(2304,0,TrayNotifyWnd,null)",
                  "GetWindowRect(256)", "GetWindowRect(2320)",
                  "DrawAnimatedRects(256,3,700,570,800,600,100,120,445,273)"));
}

TEST_F(TitleToTrayTest, WithoutATaskBarBothStillAnimateWithAnEmptyTrayRectangle) {
  platform.trayWindow = 0;
  animation.AnimateWindowToTray(kWindow);
  animation.AnimateTrayToWindow(kWindow);
  EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(256,3,100,120,445,273,0,0,0,0)",
                          "DrawAnimatedRects(256,3,0,0,0,0,100,120,445,273)"));
}

TEST_F(TitleToTrayTest, ATaskBarWithoutNotificationAreaAlsoGivesAnEmptyTrayRectangle) {
  platform.trayNotifyWindow = 0;
  animation.AnimateWindowToTray(kWindow);
  EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(256,3,100,120,445,273,0,0,0,0)"));
}

}  // namespace
}  // namespace keyhush
