#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/platform.h"
#include "runtime/win32_constants.h"

namespace keyhush {

// The program's one notification-area icon. The shell keeps the icon's state; every call hands
// it a record made afresh.
class mdlSystemTray {
 public:
  explicit mdlSystemTray(Platform& platform) : platform_(platform) {}

  // The shell reports activity over the icon as WM_MOUSEMOVE to `window`, the mouse message
  // that happened over the icon in lParam.
  void AddTrayIcon(Handle window, int32_t id, Handle icon, std::string_view tip);
  void ModifyTrayIcon(Handle window, int32_t id, Handle icon, std::string_view tip);
  void RemoveTrayIcon(Handle window, int32_t id);

  // Whether a mouse move reported to the callback window, its x in twips, stands for a
  // right-button release over the icon.
  bool IsRightButtonRelease(float x) const;

 private:
  void Notify(uint32_t message, Handle window, int32_t id, Handle icon, std::string_view tip);

  Platform& platform_;
};

}  // namespace keyhush
