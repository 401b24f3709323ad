#pragma once

#include <cstdint>

#include "runtime/platform.h"

namespace keyhush {

inline constexpr int32_t IDANI_CAPTION = 3;

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
