#pragma once

#include <memory>

#include "hotkey/form1.h"
#include "hotkey/hot_key.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "settings/form_settings.h"

namespace keyhush {

// The running program: its windows, each created on first reference, and the hot-key module.
class Program {
 public:
  Program(Platform& platform, WindowSystem& windows);

  // Start-up: what starting keyhush.exe does before the message loop.
  void Start();

  Platform& platform() { return platform_; }
  HotKey& hotKey() { return hotKey_; }
  FormSettings& settingsWindow();
  Form1& lockWindow();

 private:
  Platform& platform_;
  WindowSystem& windows_;
  HotKey hotKey_;
  std::unique_ptr<FormSettings> settingsWindow_;
  std::unique_ptr<Form1> lockWindow_;
};

}  // namespace keyhush
