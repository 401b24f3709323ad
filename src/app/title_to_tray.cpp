#include "app/title_to_tray.h"

namespace keyhush {

mdlTitleToTray::Rects mdlTitleToTray::WindowAndTrayRects(Handle window) {
  const Handle taskBar = platform_.FindWindowA("Shell_TrayWnd", nullptr);
  const Handle notificationArea = platform_.FindWindowExA(taskBar, 0, "TrayNotifyWnd", nullptr);
  // A rectangle that cannot be read stays empty: without a task bar the animation runs to or
  // from the screen's origin.
  Rects rects;
  if (!platform_.GetWindowRect(window, rects.window)) rects.window = {};
  if (!platform_.GetWindowRect(notificationArea, rects.tray)) rects.tray = {};
  return rects;
}

void mdlTitleToTray::AnimateWindowToTray(Handle window) {
  const Rects rects = WindowAndTrayRects(window);
  platform_.DrawAnimatedRects(window, IDANI_CAPTION, rects.window, rects.tray);
}

void mdlTitleToTray::AnimateTrayToWindow(Handle window) {
  const Rects rects = WindowAndTrayRects(window);
  platform_.DrawAnimatedRects(window, IDANI_CAPTION, rects.tray, rects.window);
}

}  // namespace keyhush
