#include "app/title_to_tray.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

TEST(TitleToTray, AnimatesBetweenWindowAndNotificationAreaOrTheOriginWithoutThem) {
  FakePlatform platform;
  mdlTitleToTray animation{platform};
  platform.trayWindow = 0x900;
  platform.trayNotifyWindow = 0x910;
  platform.windowRects = {{0x100, {100, 120, 445, 273}}, {0x910, {700, 570, 800, 600}}};
  animation.AnimateWindowToTray(0x100);
  EXPECT_THAT(
      platform.calls,
      ElementsAre("FindWindowA(Shell_TrayWnd,null)", "FindWindowExA(2304,0,TrayNotifyWnd,null)",
                  "GetWindowRect(256)", "GetWindowRect(2320)",
                  "DrawAnimatedRects(256,3,100,120,445,273,700,570,800,600)"));
  animation.AnimateTrayToWindow(0x100);
  platform.trayNotifyWindow = 0;  // a task bar without its notification area
  animation.AnimateWindowToTray(0x100);
  platform.trayWindow = 0;  // no task bar
  animation.AnimateTrayToWindow(0x100);
  EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(256,3,100,120,445,273,700,570,800,600)",
                          "DrawAnimatedRects(256,3,700,570,800,600,100,120,445,273)",
                          "DrawAnimatedRects(256,3,100,120,445,273,0,0,0,0)",
                          "DrawAnimatedRects(256,3,0,0,0,0,100,120,445,273)"));
}

}  // namespace
}  // namespace keyhush::testing
