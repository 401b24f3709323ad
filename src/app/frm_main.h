#pragma once

#include <cstdint>
#include <functional>

#include "app/title_to_tray.h"
#include "runtime/form.h"
#include "tray/system_tray.h"

namespace keyhush {

// The main window: hidden from start-up on, it owns the tray icon and its pop-up menu.
class frmMain : public Form {
 public:
  // What the window opens or ends, which the program provides.
  struct Links {
    // Loads the settings window, hidden, which holds the hot key; true when the system refused it.
    std::function<bool()> loadSettings;
    std::function<void()> showSettings;
    std::function<void()> showAbout;
    std::function<void()> exit;
  };

  frmMain(WindowSystem& windows, Platform& platform, Links links);

  // Takes the icon out of the notification area, as the program ends.
  void RemoveTrayIcon();

  // The icon's identifier on the window of picSystemTray, and the tip it starts with.
  static constexpr int32_t kTrayIconId = 1;
  static constexpr const char* kTrayTip = "Key hush v1";

  Control& cmdAddIcon;
  Control& cmdModifyIcon;
  Control& cmdRemoveIcon;
  Control& picSystemTray;
  Control& picSystemTrayIcon1;
  Control& picSystemTrayIcon2;
  const Menu mnuPopupMenu;

  void cmdAddIcon_Click();
  void cmdModifyIcon_Click();
  void cmdRemoveIcon_Click();
  void picSystemTray_MouseMove(int16_t button, int16_t shift, float x, float y);
  void mnuAbout_Click();
  void mnuPopupMenuShowForm_Click();
  void mnuPopupMenuExit_Click();

 protected:
  void Form_Load() override;
  void Form_QueryUnload(int16_t& cancel, int16_t unloadMode) override;
  void TaskbarCreated() override;
  void SecondInstanceStarted() override;

 private:
  const MenuItem& mnuPopupMenuShowForm() const { return mnuPopupMenu.items[1]; }

  Links links_;
  mdlSystemTray systemTray_;
  mdlTitleToTray titleToTray_;
};

}  // namespace keyhush
