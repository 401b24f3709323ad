#pragma once

#include <cstdint>

#include "runtime/platform.h"
#include "runtime/win32_constants.h"

namespace keyhush {

// The caption animation between a window and the notification area. It only draws.
class mdlTitleToTray {
 public:
  explicit mdlTitleToTray(Platform& platform) : platform_(platform) {}

  void AnimateWindowToTray(Handle window);
  void AnimateTrayToWindow(Handle window);

 private:
  struct Rects {
    Rect window, tray;
  };
  Rects WindowAndTrayRects(Handle window);

  Platform& platform_;
};

}  // namespace keyhush
