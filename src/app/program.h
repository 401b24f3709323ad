#pragma once

#include <memory>

#include "hotkey/hot_key.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "settings/settings_chain.h"

namespace keyhush {

class frmMain;
class FormSettings;
class Form1;
class frmAbout;
class frmNewHotKey;

// The running program: its windows, each created on first reference and living until the
// process ends, the hot-key module and the settings. It builds every window and hands each what
// it uses; no window reaches back into it.
class Program {
 public:
  Program(Platform& platform, WindowSystem& windows);
  ~Program();

  // Start-up: what starting keyhush.exe does before the message loop.
  void Start();
  // Ends the program: the hot key released and the tray icon removed, then the process ends.
  void Exit();

  HotKey& hotKey() { return hotKey_; }
  SettingsChain& settings() { return settings_; }

  frmMain& mainWindow();
  FormSettings& settingsWindow();
  Form1& lockWindow();
  frmAbout& aboutWindow();
  frmNewHotKey& newHotKeyWindow();

 private:
  Platform& platform_;
  WindowSystem& windows_;
  HotKey hotKey_;
  SettingsChain settings_;
  std::unique_ptr<frmMain> mainWindow_;
  std::unique_ptr<FormSettings> settingsWindow_;
  std::unique_ptr<Form1> lockWindow_;
  std::unique_ptr<frmAbout> aboutWindow_;
  std::unique_ptr<frmNewHotKey> newHotKeyWindow_;
};

}  // namespace keyhush
