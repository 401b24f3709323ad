#include "app/program.h"

#include "about/frm_about.h"
#include "app/frm_main.h"
#include "hotkey/form1.h"
#include "settings/form_settings.h"
#include "settings/frm_new_hot_key.h"

namespace keyhush {

Program::Program(Platform& platform, WindowSystem& windows)
    : platform_(platform),
      windows_(windows),
      hotKey_(
          platform, [this]() -> Form1& { return lockWindow(); },
          [this] { return settings_.TurnOffDisplays(); }),
      settings_(platform, hotKey_) {
  windows.endProgram = [this] { Exit(); };
}

Program::~Program() = default;

void Program::Start() {
  // The main window's load handler does the rest: it hides the window, adds the tray icon and
  // loads the settings window.
  mainWindow().Load();
}

void Program::Exit() {
  // Whichever way the program ends, it leaves no hot key held and no dead icon behind.
  if (settingsWindow_ && settingsWindow_->Loaded()) hotKey_.ClearHotKey(settingsWindow_->hWnd());
  if (mainWindow_ && mainWindow_->Loaded()) mainWindow_->RemoveTrayIcon();
  platform_.End();
}

frmMain& Program::mainWindow() {
  if (!mainWindow_) {
    mainWindow_ = std::make_unique<frmMain>(
        windows_, platform_,
        frmMain::Links{.loadSettings =
                           [this] {
                             FormSettings& settings = settingsWindow();
                             settings.Load();
                             settings.Hide();
                             return settings.HotKeyRefused();
                           },
                       .showSettings = [this] { settingsWindow().Show(); },
                       .showAbout = [this] { aboutWindow().Show(); },
                       .exit = [this] { Exit(); }});
  }
  return *mainWindow_;
}

FormSettings& Program::settingsWindow() {
  if (!settingsWindow_) {
    settingsWindow_ = std::make_unique<FormSettings>(
        windows_, platform_, settings_,
        FormSettings::Links{.showAbout = [this] { aboutWindow().Show(); },
                            .askNewHotKey =
                                [this](Form& owner, frmNewHotKey::Completion done) {
                                  newHotKeyWindow().Open(owner, std::move(done));
                                },
                            .exit = [this] { Exit(); }});
  }
  return *settingsWindow_;
}

Form1& Program::lockWindow() {
  if (!lockWindow_) lockWindow_ = std::make_unique<Form1>(windows_, platform_);
  return *lockWindow_;
}

frmAbout& Program::aboutWindow() {
  if (!aboutWindow_) aboutWindow_ = std::make_unique<frmAbout>(windows_, platform_);
  return *aboutWindow_;
}

frmNewHotKey& Program::newHotKeyWindow() {
  if (!newHotKeyWindow_) newHotKeyWindow_ = std::make_unique<frmNewHotKey>(windows_, platform_);
  return *newHotKeyWindow_;
}

}  // namespace keyhush
