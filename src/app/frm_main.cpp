#include "app/frm_main.h"

#include "resource.h"
#include "text_ids.h"

namespace keyhush {

frmMain::frmMain(WindowSystem& windows, Platform& platform, Links links)
    // English in every language: a second copy finds the first by it. The window is never shown,
    // nor are its buttons.
    : Form(windows, FormDesign{.caption = "System Tray Sample Application",
                               .clientWidth = 5175,
                               .clientHeight = 2295,
                               .border = BorderStyle::FixedSingle,
                               .font = {.face = "Tahoma", .points = 8.25},
                               .iconResource = IDI_KEYHUSH}),
      cmdAddIcon(Add({.name = "cmdAddIcon",
                      .kind = ControlKind::CommandButton,
                      .text = "&Add Icon",
                      .left = 120,
                      .top = 120,
                      .width = 1215,
                      .height = 375,
                      .tabIndex = 4})),
      cmdModifyIcon(Add({.name = "cmdModifyIcon",
                         .kind = ControlKind::CommandButton,
                         .text = "&Modify Icon",
                         .left = 1440,
                         .top = 120,
                         .width = 1215,
                         .height = 375,
                         .tabIndex = 2})),
      cmdRemoveIcon(Add({.name = "cmdRemoveIcon",
                         .kind = ControlKind::CommandButton,
                         .text = "&Remove Icon",
                         .left = 2760,
                         .top = 120,
                         .width = 1215,
                         .height = 375,
                         .tabIndex = 3})),
      // Its window is the tray icon's callback window; mouse positions arrive in twips.
      picSystemTray(Add({.name = "picSystemTray",
                         .kind = ControlKind::PictureBox,
                         .left = 120,
                         .top = 600,
                         .width = 375,
                         .height = 375,
                         .tabIndex = 1})),
      picSystemTrayIcon1(Add({.name = "picSystemTrayIcon1",
                              .kind = ControlKind::PictureBox,
                              .left = 600,
                              .top = 600,
                              .width = 300,
                              .height = 300,
                              .tabIndex = 0,
                              .iconResource = IDI_TRAY1})),
      picSystemTrayIcon2(Add({.name = "picSystemTrayIcon2",
                              .kind = ControlKind::PictureBox,
                              .left = 960,
                              .top = 600,
                              .width = 300,
                              .height = 300,
                              .tabIndex = 5,
                              .iconResource = IDI_TRAY2})),
      mnuPopupMenu{
          .name = "mnuPopupMenu",
          .caption = "Popup Menu",
          .items = {{"mnuAbout", platform.Text(IDS_MENU_ABOUT), [this] { mnuAbout_Click(); }},
                    {"mnuPopupMenuShowForm", platform.Text(IDS_MENU_SETTINGS),
                     [this] { mnuPopupMenuShowForm_Click(); }},
                    {"mnuPopupMenuSeperator1", "-", nullptr},
                    {"mnuPopupMenuExit", platform.Text(IDS_MENU_EXIT),
                     [this] { mnuPopupMenuExit_Click(); }}}},
      links_(std::move(links)),
      systemTray_(platform),
      titleToTray_(platform) {
  cmdAddIcon.Click = [this] { cmdAddIcon_Click(); };
  cmdModifyIcon.Click = [this] { cmdModifyIcon_Click(); };
  cmdRemoveIcon.Click = [this] { cmdRemoveIcon_Click(); };
  picSystemTray.MouseMove = [this](int16_t button, int16_t shift, float x, float y) {
    picSystemTray_MouseMove(button, shift, x, y);
  };
}

void frmMain::Form_Load() {
  Hide();
  systemTray_.AddTrayIcon(picSystemTray.hWnd(), kTrayIconId, picSystemTrayIcon1.Picture(),
                          kTrayTip);
  // Loading the settings window registers the saved hot key on it. A refused hot key would leave
  // the user pressing keys that lock nothing (Windows 8 and later keep Win + X for themselves):
  // the settings window says so and offers another at once.
  if (links_.loadSettings()) mnuPopupMenuShowForm_Click();
}

// A close request of any origin sends the window into the tray; the program goes on.
void frmMain::Form_QueryUnload(int16_t& cancel, int16_t /*unloadMode*/) {
  cancel = 1;
  titleToTray_.AnimateWindowToTray(hWnd());
  Hide();
}

void frmMain::TaskbarCreated() {
  // A new task bar has an empty notification area.
  systemTray_.AddTrayIcon(picSystemTray.hWnd(), kTrayIconId, picSystemTrayIcon1.Picture(),
                          kTrayTip);
}

void frmMain::SecondInstanceStarted() {
  mnuPopupMenuShowForm_Click();
}

void frmMain::cmdAddIcon_Click() {
  systemTray_.AddTrayIcon(picSystemTray.hWnd(), kTrayIconId, picSystemTrayIcon1.Picture(),
                          kTrayTip);
}

void frmMain::cmdModifyIcon_Click() {
  systemTray_.ModifyTrayIcon(picSystemTray.hWnd(), kTrayIconId, picSystemTrayIcon2.Picture(),
                             "New Icon and Tooltip!");
}

void frmMain::cmdRemoveIcon_Click() {
  systemTray_.RemoveTrayIcon(picSystemTray.hWnd(), kTrayIconId);
}

void frmMain::picSystemTray_MouseMove(int16_t /*button*/, int16_t /*shift*/, float x, float /*y*/) {
  if (systemTray_.IsRightButtonRelease(x)) PopupMenu(mnuPopupMenu, &mnuPopupMenuShowForm());
}

void frmMain::RemoveTrayIcon() {
  systemTray_.RemoveTrayIcon(picSystemTray.hWnd(), kTrayIconId);
}

void frmMain::mnuAbout_Click() {
  links_.showAbout();
}

void frmMain::mnuPopupMenuShowForm_Click() {
  // The hidden main window keeps its rectangle: the animation runs toward it.
  if (!Visible()) titleToTray_.AnimateTrayToWindow(hWnd());
  links_.showSettings();
}

void frmMain::mnuPopupMenuExit_Click() {
  links_.exit();
}

}  // namespace keyhush
