#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/platform.h"

namespace keyhush {

inline constexpr uint32_t NIM_ADD = 0;
inline constexpr uint32_t NIM_MODIFY = 1;
inline constexpr uint32_t NIM_DELETE = 2;

inline constexpr uint32_t NIF_MESSAGE = 1;
inline constexpr uint32_t NIF_ICON = 2;
inline constexpr uint32_t NIF_TIP = 4;

inline constexpr uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr uint32_t WM_RBUTTONUP = 0x205;

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
