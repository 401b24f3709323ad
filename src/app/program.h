#pragma once

#include <memory>

#include "hotkey/hot_key.h"
#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush {

class frmMain;
class FormSettings;
class Form1;
class frmAbout;
class frmNewHotKey;

// The running program: its windows, each created on first reference and living until the
// process ends, and the hot-key module.
class Program {
 public:
  Program(Platform& platform, WindowSystem& windows);
  ~Program();

  // Start-up: what starting keyhush.exe does before the message loop.
  void Start();

  Platform& platform() { return platform_; }
  WindowSystem& windows() { return windows_; }
  HotKey& hotKey() { return hotKey_; }

  frmMain& mainWindow();
  FormSettings& settingsWindow();
  Form1& lockWindow();
  frmAbout& aboutWindow();
  frmNewHotKey& newHotKeyWindow();

 private:
  Platform& platform_;
  WindowSystem& windows_;
  HotKey hotKey_;
  std::unique_ptr<frmMain> mainWindow_;
  std::unique_ptr<FormSettings> settingsWindow_;
  std::unique_ptr<Form1> lockWindow_;
  std::unique_ptr<frmAbout> aboutWindow_;
  std::unique_ptr<frmNewHotKey> newHotKeyWindow_;
};

}  // namespace keyhush
